// The print-outs with long lists: the to-do table and a reference list of 10,000 entries, laid
// out on the recording printer (the routines' own cost) and written through QPrinter to a PDF.
//
//     QT_QPA_PLATFORM=offscreen build/default/bench/print_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "db_test_util.h"
#include "platform/services.h"
#include "print/print_text_array.h"
#include "print/todo_printout.h"
#include "support/fake_platform.h"

namespace {

const app::FontSetting kPrintFont{QStringLiteral("Ariel"), QStringLiteral("12")};

std::vector<db::ToDoItem> todoList(int count) {
    std::vector<db::ToDoItem> items;
    for (int i = 0; i < count; ++i)
        items.push_back(dbtest::item(
            QString::number(1 + i % 5),
            i % 3 ? QStringLiteral("Client%1, Anne").arg(i % 997)
                  : QStringLiteral("Project %1").arg(i % 17),
            QStringLiteral("Telephone conference with opposing counsel re matter %1").arg(i),
            dbtest::storedDate(2026, 1 + i % 12, 1 + i % 28),
            dbtest::storedDate(2026, 12, 1 + i % 31)));
    return items;
}

QStringList entries(int count) {
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(QStringLiteral("Client%1, Anne Marie").arg(i));
    return list;
}

// Runs `print` with the recording printer, or with QPrinter writing a PDF in a temporary folder.
template <typename Print> void run(benchmark::State& state, Print print) {
    platform::fakes::FakePlatform fakes;
    QTemporaryDir folder;
    if (state.range(1))
        platform::Services::setPrinter(std::make_shared<platform::QtPrinter>(
            platform::QtPrinter::Options{folder.filePath("out.pdf")}));
    for (auto _ : state) {
        fakes.printer = {};
        print(static_cast<int>(state.range(0)));
    }
}

void ToDoList(benchmark::State& state) {
    const std::vector<db::ToDoItem> items = todoList(static_cast<int>(state.range(0)));
    run(state, [&](int) { print::PrintToDoList(items, kPrintFont); });
}
BENCHMARK(ToDoList)->ArgsProduct({{10000}, {0, 1}})->Unit(benchmark::kMillisecond);

void ReferenceList(benchmark::State& state) {
    const QStringList list = entries(static_cast<int>(state.range(0)));
    run(state,
        [&](int) { print::PrintList(list, QStringLiteral("Tarnwick Clients list"), kPrintFont); });
}
BENCHMARK(ReferenceList)->ArgsProduct({{10000}, {0, 1}})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
