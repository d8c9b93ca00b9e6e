// The to-do database's schema and the lists a new database starts with. Plain C++ on the
// engine alone, so that the command-line tool and the program share one copy.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/file_system.h"
#include "jet/schema.h"

namespace db::schema {

inline constexpr const char* kClients = "Clients";
inline constexpr const char* kActivities = "Activities";
inline constexpr const char* kProjects = "Projects";
inline constexpr const char* kThingsToDo = "Things To Do";

inline constexpr const char* kClient = "Client";
inline constexpr const char* kActivity = "Activity";
inline constexpr const char* kProject = "Project";
inline constexpr const char* kThingToDo = "ThingToDo";
inline constexpr const char* kTtdClient = "TTD Client";
inline constexpr const char* kTtdProject = "TTD Project";
inline constexpr const char* kTtdPriority = "TTD Priority";
inline constexpr const char* kStartDate = "Thing To Do Start Date";
inline constexpr const char* kDeadline = "Thing To Do Deadline";

/// The size of every text field but the priority's, in characters, as a new database has it.
inline constexpr std::uint16_t kTextSize = 150;

/// Collating order and code page a new database is created with.
inline constexpr const char* kLocale = ";LANGID=0x0409;CP=1252;COUNTRY=0";

/// The tables the validity test opens, in its order, as record-set sources.
inline constexpr std::array<const char*, 4> kValidityTables = {"Clients", "Activities", "Projects",
                                                               "[Things To Do]"};

/// The four tables in creation order.
std::vector<jet::TableSpec> tables();

/// Activity phrases and projects of a new database, in their stored order.
const std::vector<std::string>& defaultActivities();
const std::vector<std::string>& defaultProjects();

/// Creates a database at `path` with the four tables and the default lists, as one transaction
/// after the blank file exists, through `files` (null: the operating system's). Returns the
/// new database, still open for writing. Throws jet::Error; AlreadyExists leaves an existing
/// file as it was. A failure after the blank file exists leaves that blank file.
jet::Database createDatabase(const std::string& path,
                             std::shared_ptr<jet::FileSystem> files = nullptr);

} // namespace db::schema
