#pragma once

#include "app/RepeatedError.h"
#include "app/SettingsFileGuard.h"
#include "config/SettingsFiles.h"
#include "config/StorageFolders.h"
#include "db/CDataBase.h"
#include "db/ChannelTable.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlQuery.h"

#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolButton;

namespace os { class SingleInstanceMarker; }
namespace live { class LiveView; }
namespace report { class TFReport001; }
namespace history {
class CalendarPicker;
class ChartLegend;
class HistoryChart;
class HistoryView;
class StringGrid;
class TimePicker;
}

namespace app {

class BusyGate;
class FirstError;

// Where the program keeps its files, and the name of its running-instance marker.
struct StartContext {
    explicit StartContext(config::StorageFolders storage, QString marker = QStringLiteral("ZEMLO Viewer.exe"))
        : folders(std::move(storage))
        , instanceMarkerName(std::move(marker))
    {
    }
    config::StorageFolders folders;
    QString instanceMarkerName;
};

// "ZEMLO Viewer wersja: 1.05.00", with " [user]" when a report user is set.
QString MainCaption(qint32 major, qint32 minor, const QString& reportUser);
// "1.05.00": the major version, the minor one in two digits and a fixed ".00".
QString VersionText(qint32 major, qint32 minor);

// The main window. Its controls carry the names under which the rest of the program and
// the tests find them; its state is what the program reads at start and keeps for the run.
class TFMain final : public QMainWindow {
    Q_OBJECT
public:
    explicit TFMain(StartContext context, QWidget* parent = nullptr);
    ~TFMain() override;

    void ToggleConnection();
    void LoadOrSaveWindowSettings(bool load);
    void LoadOrSaveConnection(bool load);
    void LoadOrSaveConfig(bool load);

    void RefreshLiveView(const QString& table);
    void TimerUpdateTimer();
    void TimerReconnectTimer();
    void PageControlMainChange();
    void ShowChannelInfo(quint32 channel);
    void GetDataButtonClick();
    void SpeedButton1Click();
    void OpenFolderButtonClick();
    void PfdButtonClick();
    void Button1Click();
    void Button2Click();

    bool terminateRequested() const { return m_terminateRequested; }
    const QString& reportsFolder() const { return m_reportsFolder; }
    // The last output file named by the CSV export or the report: when, and where.
    const QDateTime& lastOutputDateTime() const { return m_lastOutputDateTime; }
    const QString& lastOutputPath() const { return m_lastOutputPath; }
    const config::ViewConfig& viewConfig() const { return m_config; }
    const config::ConnectionSettings& connectionSettings() const { return m_connection; }
    const db::CDataBase& database() const { return *m_database; }
    const db::ChannelTable& channels() const { return *m_channels; }
    const live::LiveView& liveView() const { return *m_liveView; }
    live::LiveView& liveView() { return *m_liveView; }
    const history::HistoryView& historyView() const { return *m_historyView; }

    // Controls of the window.
    QLabel* LabelStatus = nullptr;
    QTabWidget* PageControlMain = nullptr;
    QWidget* ActualSheet = nullptr;
    QScrollArea* ScrollBox = nullptr;
    QLabel* LabelUpdate = nullptr;
    QLabel* ImgSourceA1 = nullptr;
    QLabel* ImgSourceA2 = nullptr;
    QLabel* ImgSourceAK = nullptr;
    QLabel* ImgSourceA0 = nullptr;
    QWidget* ReportSheet = nullptr;
    QWidget* PanelButton = nullptr;
    history::CalendarPicker* picker_in_d = nullptr;
    history::TimePicker* picker_in_t = nullptr;
    QLabel* Label1 = nullptr;
    history::CalendarPicker* picker_out_d = nullptr;
    history::TimePicker* picker_out_t = nullptr;
    QToolButton* GetDataButton = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* PfdButton = nullptr;
    QToolButton* OpenFolderButton = nullptr;
    QTabWidget* PageControlData = nullptr;
    QWidget* TabSheetData = nullptr;
    history::StringGrid* DataGrid = nullptr;
    QWidget* TabSheetEvent = nullptr;
    history::StringGrid* EventGrid = nullptr;
    QWidget* TabSheetChart = nullptr;
    history::HistoryChart* Chart = nullptr;
    history::ChartLegend* ChartLegend = nullptr;
    QWidget* ChartPanel = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusPanel = nullptr;
    QTimer* TimerUpdate = nullptr;
    // Tries the connection again while the status is red and no refresh tick does.
    QTimer* TimerReconnect = nullptr;
    QList<QIcon> ImageListPageControl;
    sql::SqlConnection SQLConnection;
    sql::SqlQuery SQLQuery;
    // The report's page template, a window of its own that is never shown.
    report::TFReport001* FReport001 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Lost: connected, but the last read failed because the server could not be reached.
    enum class ConnectionState { Connected, Failed, Lost, Disconnected };

    void BuildLayout();
    QWidget* BuildLiveSheet();
    QWidget* BuildReportSheet();
    QWidget* BuildButtonPanel();
    QWidget* BuildChartSheet();
    void FormCreate();
    bool FormCloseQuery();
    void FormClose();
    // reason: why the connection failed, shown on hover over the status label with the time
    // of the next try, which comes after nextTry milliseconds.
    void ShowConnectionState(ConnectionState state, const QString& reason = QString(),
                             std::optional<int> nextTry = std::nullopt);
    // The two directions of ToggleConnection. Connecting keeps the first error of the steps
    // after the connect in error.
    void OpenConnection(FirstError& error);
    void CloseConnection();
    // The connect sequence failed: red, and tried again after the refresh period.
    void ConnectionFailed(const QString& reason);
    // Runs a read of the database and lets the status follow it: red with the reason when it
    // failed for the connection, green again once the server answers. With several servers
    // listed, a read that lost its server is run again at once on the next one that answers.
    // Errors go on.
    template <typename Read>
    void Watched(Read&& read);
    void ConnectionLost(const QString& reason);
    // Green again after a loss, or naming the server that answers now.
    void ConnectionAnswered(bool serverChanged = false);
    // The refresh of the timer and of the switch to the live tab: an error that persists is
    // told once.
    void RefreshLiveViewTellingOnce();
    void LoadChannelTable();
    void StartRefreshTimer();
    // Opens the window with the settings, kept on a screen; settings take what was used.
    void ApplyWindowSettings(config::WindowSettings& settings);
    config::WindowSettings CurrentWindowSettings() const;
    void FitFrameToSavedGeometry();

    StartContext m_context;
    QString m_settingsPath;
    QString m_connectionPath;
    QString m_configPath;
    qint32 m_versionMajor = 0, m_versionMinor = 0, m_versionRelease = 0, m_versionBuild = 0;
    std::unique_ptr<db::CDataBase> m_database;
    std::unique_ptr<os::SingleInstanceMarker> m_instanceMarker;
    bool m_terminateRequested = false;
    QString m_reportsFolder;
    QDateTime m_lastOutputDateTime;
    QString m_lastOutputPath;
    SettingsFileGuard m_settingsFiles;
    config::WindowSettings m_windowSettings;
    config::ConnectionSettings m_connection;
    config::ViewConfig m_config;
    std::unique_ptr<db::ChannelTable> m_channels;
    std::unique_ptr<live::LiveView> m_liveView;
    std::unique_ptr<history::HistoryView> m_historyView;
    QList<QPointer<QWidget>> m_infoWindows;
    bool m_shownOnce = false;
    std::optional<ConnectionState> m_connectionState;
    RepeatedError m_connectError;
    RepeatedError m_refreshError;
    BusyGate* m_busyGate = nullptr;
};

} // namespace app
