// make_todo_file FILE N: a new to-do database whose "Things To Do" holds N synthetic items,
// for the comparison with mdbtools and mdb-reader.
#include <cstdio>
#include <iostream>
#include <string>

#include "db/schema.h"
#include "jet/database.h"
#include "todo_data.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_todo_file FILE N\n";
        return 2;
    }
    std::remove(argv[1]);
    db::schema::createDatabase(argv[1]);
    jet::OpenOptions o;
    o.mode = jet::OpenMode::ReadWrite;
    auto db = jet::Database::open(argv[1], o);
    bench::rewriteTodos(db, bench::todoRows(std::stoi(argv[2])));
    return 0;
}
