#include "frame/kvrnmain.h"

int main(int argc, char** argv)
{
    return KvrnMain(argc, argv);
}
