// todo_roundtrip FILE: what the program does with its items from start to exit, once, for
// measuring its peak memory from outside: LoadToDoItems into a list held in memory, then
// RewriteToDoItems from that list, which keeps the dates' values as the program's list does.
#include <QString>
#include <cstdio>
#include <exception>

#include "db/routines.h"
#include "kept_dates_list.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: todo_roundtrip FILE\n", stderr);
        return 2;
    }
    try {
        const QString path = QString::fromLocal8Bit(argv[1]);
        bench::KeptDatesList list;
        db::LoadToDoItems(path, list);
        db::RewriteToDoItems(path, list);
        std::printf("%d items\n", list.rowCount());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "todo_roundtrip: %s\n", e.what());
        return 1;
    }
    return 0;
}
