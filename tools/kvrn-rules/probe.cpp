#include "probe.h"

#include <cstdint>
#include <sstream>
#include <vector>

#include "rules/cards.h"
#include "rules/paixing.h"

namespace {

// A word of the input echoed in an error, kept to printable ASCII so the answer stays one valid line.
std::string echo(const std::string& w)
{
    std::string s = w.substr(0, 20);
    for (char& ch : s)
        if (ch < 0x21 || ch > 0x7e) ch = '?';
    return s;
}

// Splits on blanks and parses every word after the command as a byte. False with a reason when
// a word is not a decimal number 0..255.
bool parseArgs(std::istringstream& in, std::vector<uint8_t>& out, std::string& err)
{
    std::string w;
    while (in >> w) {
        // Plain decimal digits only; leading zeros are fine, values above 255 are not.
        int v = 0;
        bool ok = !w.empty();
        for (char ch : w) {
            if (ch < '0' || ch > '9' || v > 255) { ok = false; break; }
            v = v * 10 + (ch - '0');
        }
        if (!ok || v > 255) {
            err = "error: not a number 0..255: " + echo(w);
            return false;
        }
        out.push_back(uint8_t(v));
    }
    return true;
}

std::string describe(const PaiXingInfo& p)
{
    std::string s = "1";
    for (int i = 1; i <= 7; ++i) s += ' ' + std::to_string(p[i]);
    return s;
}

std::string refused(const QString& msg) { return "0 " + msg.toStdString(); }

}  // namespace

std::string ProbeAnswer(const std::string& line)
{
    std::istringstream in(line);
    std::string cmd;
    if (!(in >> cmd)) return "error: empty line";
    std::vector<uint8_t> a;
    std::string err;
    if (!parseArgs(in, a, err)) return err;
    const int argc = int(a.size());

    if (cmd == "classify") {
        PaiXingInfo p;
        return GetPaiXing(a.data(), argc, p) ? describe(p) : "0";
    }
    if (cmd == "first") {
        PaiXingInfo p;
        QString msg;
        return CheckFirstOutPai(a.data(), argc, msg, p) ? describe(p) : refused(msg);
    }
    if (cmd == "follow") {
        if (argc < 9) return "error: follow needs the 8 bytes of the biggest play and the 双顺 flag";
        if (a[8] > 1) return "error: the 双顺 flag must be 0 or 1";
        PaiXingInfo maxOut;
        for (int i = 0; i < 8; ++i) maxOut[i] = a[size_t(i)];
        PaiXingInfo p;
        QString msg;
        return CheckFollowOutPai(a.data() + 9, argc - 9, maxOut, a[8] == 1, msg, p) ? describe(p) : refused(msg);
    }
    if (cmd == "bigger") {
        if (argc != 6) return "error: bigger needs two triples of type, key, count";
        return IsComponentBigger(a[0], a[1], a[2], a[3], a[4], a[5]) ? "1" : "0";
    }
    if (cmd == "arrange") {
        if (argc < 2) return "error: arrange needs the deck count and the sort mode";
        if (a[1] > 1) return "error: the sort mode must be 0 or 1";
        ByteArr hand = ByteArr::fromCards(a.data() + 2, argc - 2);
        ArrangeHand(hand, a[1] == 1, a[0]);
        std::string s;
        for (int i = 1; i <= hand.upperBound(); ++i) {
            if (i > 1) s += ' ';
            s += std::to_string(hand[i]);
        }
        return s;
    }
    if (cmd == "fen") return std::to_string(CountFenPai(a.data(), argc));
    return "error: unknown command: " + echo(cmd);
}
