// hold_file FILE: another Tarnwick with FILE in use, as a process of its own. Takes the hold a
// window keeps on FILE and writes one line: "held" (or "nothing to hold"), keeping the hold until
// its standard input ends or it is killed; or the refusal's message, ending with status 1.
#include <cstdio>
#include <exception>
#include <unistd.h>

#include "db/file_hold.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    try {
        const db::FileHold hold = db::FileHold::take(argv[1]);
        std::puts(hold.holds() ? "held" : "nothing to hold");
        std::fflush(stdout);
        char c;
        while (::read(0, &c, 1) > 0) {
        }
        return 0;
    } catch (const std::exception& e) {
        std::puts(e.what());
        return 1;
    }
}
