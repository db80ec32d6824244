// The PDF report of every channel (AllCharts 1) of a large fetch: the time of GenerateReport,
// per page, the file's bytes per page and the program's peak memory. Needs a database made
// by zemlo-demo-db (see bench/run); fetches all of its rows through the program's own fetch.
//   bench_report [database=zemlo] [output.pdf]
#include "BenchSupport.h"

#include "history/HistoryChart.h"
#include "history/HistoryView.h"
#include "history/MeasurementStore.h"
#include "platform/os/Clock.h"
#include "report/ReportSource.h"
#include "report/TFReport001.h"

#include <QFileInfo>
#include <QProgressBar>
#include <cstdio>

using bench::Milliseconds;
using bench::PeakMemoryMegabytes;

int main(int argc, char** argv)
{
    bench::Session session(argc, argv);
    const QString& database = session.database;

    bench::ConnectedWindow window(database, "[View]\nRefresh=0\n[Reports]\nUser=Benchmark\nAllCharts=1\n");
    app::TFMain& main = *window.main;
    const QString output = argc > 2 ? QString::fromLocal8Bit(argv[2]) : window.folder.filePath(QStringLiteral("report.pdf"));
    const quint32 channels = main.channels().count;

    // The pickers span every stored row after connecting.
    const double fetch = Milliseconds([&] { main.GetDataButtonClick(); });
    const qsizetype rows = main.historyView().lastFetch().store->rowCount();
    const double peakAfterFetch = PeakMemoryMegabytes();

    report::TFReport001& form = *main.FReport001;
    form.PReport.setFileName(output);
    const report::ReportSource source{main.channels(),
                                      main.historyView().lastFetch(),
                                      main.Chart->activeFlags(),
                                      main.Chart->colours(),
                                      main.Chart->dateTimeFormat(),
                                      os::CurrentDateTime(),
                                      {0, 0, 0, QStringLiteral("Benchmark"), 1}};
    const double generate = Milliseconds([&] { form.GenerateReport(source, main.ProgressBar); });
    const double peak = PeakMemoryMegabytes();

    const qint64 bytes = QFileInfo(output).size();
    const double pages = std::max<double>(channels, 1);
    std::printf("channels (pages), AllCharts 1       %u\n", channels);
    std::printf("rows fetched through the program    %lld (fetch %.0f ms)\n", static_cast<long long>(rows), fetch);
    std::printf("GenerateReport, file written        %8.0f ms\n", generate);
    std::printf("time per page                       %8.1f ms    (target <= 25 ms)\n", generate / pages);
    std::printf("file                                %8.1f MB\n", double(bytes) / 1e6);
    std::printf("bytes per page                      %8.0f      (target <= 60 KB)\n", double(bytes) / pages);
    std::printf("peak memory after the fetch         %8.0f MB\n", peakAfterFetch);
    std::printf("peak memory after the report        %8.0f MB    (target <= 1024 MB)\n", peak);
    return 0;
}
