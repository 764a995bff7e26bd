// Command-line probe of the card rules: one command per line on standard input, one answer line
// per command on standard output (UTF-8), flushed at once so a driving program can converse.
#include <iostream>
#include <string>

#include "probe.h"

int main()
{
    std::ios::sync_with_stdio(false);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string answer;
        try {
            answer = ProbeAnswer(line);
        } catch (const std::exception& e) {
            answer = std::string("error: ") + e.what();
        }
        std::cout << answer << '\n' << std::flush;
    }
    return 0;
}
