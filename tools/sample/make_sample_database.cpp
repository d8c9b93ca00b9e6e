// make_sample_database FILE: a new to-do database holding a small law office's list, for the
// README's screenshot and for trying the program out. A dozen clients, about twenty things to
// do for clients and for the office's own projects, with deadlines around today's date (local
// time): some overdue, some due today, the rest in the coming weeks. Replaces FILE.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <iostream>
#include <string>

#include "db/schema.h"
#include "jet/database.h"
#include "jet/value.h"

namespace {

const char* const kClients[] = {"Abernathy, Margaret", "Castellano, Luis", "Dunmore, Priya",
                                "Everett, Thomas",     "Fairbanks, Helen", "Gutierrez, Rosa",
                                "Holloway, James",     "Ibsen, Karin",     "Kowalski, Daniel",
                                "Lindqvist, Sofia",    "Marchetti, Paolo", "Okafor, Chidi"};

struct Item {
    const char* priority;
    /// A client ("Last, First") or one of the default projects.
    const char* clientOrProject;
    const char* text;
    /// Days from today.
    int start;
    int deadline;
};

// Stored in this order, which is the order the main window shows.
const Item kItems[] = {
    {"1", "Holloway, James", "Take deposition of opposing expert (accident reconstruction)", -20,
     -1},
    {"1", "Abernathy, Margaret", "Court appearance re motion to compel discovery, Dept. 14", -10,
     0},
    {"1", "Okafor, Chidi", "Preparation for mediation; update the damages summary", -14, 2},
    {"2", "Dunmore, Priya", "Prepare and send letter to insurer demanding policy limits", -7, -2},
    {"2", "MONTHLY STATEMENTS", "Review file of unbilled time before statements go out", -3, -1},
    {"2", "Castellano, Luis", "Telephone conference with client re settlement offer", -3, 0},
    {"2", "Kowalski, Daniel", "Analysis and evaluation of wrongful termination claim", -6, 4},
    {"2", "Fairbanks, Helen", "Legal research on modification of spousal support", -5, 5},
    {"3", "Holloway, James", "Attempted telephone conference with adjuster; left message", -1, 1},
    {"3", "Everett, Thomas", "Review letter from landlord's counsel re lease termination", -2, 3},
    {"3", "PAY BILLS", "Attend to court reporter and process server invoices", -2, 6},
    {"3", "Gutierrez, Rosa", "Conference in office with client to sign estate plan", -4, 7},
    {"3", "REVIEW CASES", "Review file of every open litigation matter for deadlines", 0, 9},
    {"3", "Lindqvist, Sofia", "Factual investigation re chain of title, Lot 42", -8, 10},
    {"4", "CONTINUING EDUCATION", "Attend ethics seminar (3 hours of credit)", -30, 12},
    {"4", "Ibsen, Karin", "Review file before the annual trust accounting", -1, 14},
    {"4", "Marchetti, Paolo", "Document inspection at defendant's warehouse", -12, 21},
    {"4", "ADMINISTRATION", "Review file retention policy for closed matters", -9, 25},
    {"5", "MARKETING", "Prepare and send letter announcing our new associate", -4, 20},
    {"5", "Abernathy, Margaret", "Consultation in office with client's daughter re guardianship", 0,
     30},
};

bool isClient(const std::string& name) {
    return name.find(", ") != std::string::npos;
}

// Today's local date as a Date/Time value: whole days since 30 December 1899.
double today() {
    using namespace std::chrono;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const sys_days date =
        year_month_day(year(local.tm_year + 1900), month(static_cast<unsigned>(local.tm_mon + 1)),
                       day(static_cast<unsigned>(local.tm_mday)));
    const sys_days epoch = 1899y / December / 30;
    return static_cast<double>((date - epoch).count());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_sample_database FILE\n";
        return 2;
    }
    try {
        std::remove(argv[1]);
        jet::Database database = db::schema::createDatabase(argv[1]);
        jet::Transaction transaction(database);
        {
            auto clients = database.openTable(db::schema::kClients);
            for (const char* client : kClients) {
                clients.addNew();
                clients.setField(db::schema::kClient, jet::Value::text(client));
                clients.update();
            }
        }
        const double day = today();
        auto items = database.openTable(db::schema::kThingsToDo);
        for (const Item& item : kItems) {
            items.addNew();
            items.setField(db::schema::kThingToDo, jet::Value::text(item.text));
            items.setField(isClient(item.clientOrProject) ? db::schema::kTtdClient
                                                          : db::schema::kTtdProject,
                           jet::Value::text(item.clientOrProject));
            items.setField(db::schema::kTtdPriority, jet::Value::text(item.priority));
            items.setField(db::schema::kStartDate, jet::Value::dateTime(day + item.start));
            items.setField(db::schema::kDeadline, jet::Value::dateTime(day + item.deadline));
            items.update();
        }
        transaction.commit();
    } catch (const std::exception& e) {
        std::cerr << "make_sample_database: " << argv[1] << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}
