#pragma once
// The game's faces are asked for by name ("宋体", "黑体"), which are rarely installed here. Each
// name is resolved once to an installed CJK family, so no font is looked up through the
// fallback list again, and each face and size is made once and shared.
#include <QFont>
#include <QString>

// The installed family that stands in for `name`: the name itself when installed, else the
// first installed CJK family (the one with hand-tuned bitmap strokes first when crisp).
QString InstalledFamily(const QString& name, bool crisp = true);

// The face `name` at px pixels, made once per (name, size, weight, crispness) and shared. Crisp:
// small sizes drawn with solid, unsmoothed strokes.
QFont GameFont(const QString& name, int px, bool bold, bool crisp);

// Makes the toolkit's own font matching take the installed stand-in for each game face that is
// not installed ("宋体", "黑体"), so a widget or a page asking for one finds a font at once
// instead of going through the system's fallback list for every size and weight.
void SubstituteGameFaces();
