// tarnwick-cli: command-line companion on the same engine (filled in with the reader).
#include <cstdio>
int main() {
    std::fputs("usage: tarnwick-cli tables|export|check|create FILE ...\n", stderr);
    return 2;
}
