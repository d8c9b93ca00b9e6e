// todo_roundtrip FILE: what the program does with its items from start to exit, once, for
// measuring its peak memory from outside: LoadToDoItems into items held in memory, then
// RewriteToDoItems of those items.
#include <QString>
#include <cstdio>
#include <exception>

#include "db/routines.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: todo_roundtrip FILE\n", stderr);
        return 2;
    }
    try {
        const QString path = QString::fromLocal8Bit(argv[1]);
        const std::vector<db::ToDoItem> items = db::LoadToDoItems(path);
        db::RewriteToDoItems(path, items);
        std::printf("%zu items\n", items.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "todo_roundtrip: %s\n", e.what());
        return 1;
    }
    return 0;
}
