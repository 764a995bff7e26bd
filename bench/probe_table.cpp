// The client as the lobby starts it, ending at its first frame (see firstframe.h).
#include "firstframe.h"
#include "frame/kvrnmain.h"

int main(int argc, char** argv)
{
    return KvrnMain(argc, argv);
}
