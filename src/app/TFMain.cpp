#include "app/TFMain.h"

#include "app/Artwork.h"
#include "app/BusyGate.h"
#include "app/ErrorBox.h"
#include "app/FirstError.h"
#include "app/WindowPlacement.h"
#include "common/DateTimeText.h"
#include "common/FileTimeStamp.h"
#include "common/ZeroPad.h"
#include "db/Contract.h"
#include "history/ChartLegend.h"
#include "history/CsvExport.h"
#include "history/HistoryChart.h"
#include "history/HistoryView.h"
#include "history/RangePickers.h"
#include "history/HistoryRange.h"
#include "history/StringGrid.h"
#include "live/ChannelInfo.h"
#include "live/LiveView.h"
#include "platform/os/Clock.h"
#include "platform/os/Desktop.h"
#include "platform/os/FileVersion.h"
#include "platform/os/Paths.h"
#include "platform/os/SingleInstanceMarker.h"
#include "platform/sql/SqlError.h"
#include "report/ReportSource.h"
#include "report/TFReport001.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>
#include <optional>

namespace app {

namespace {

const QString ProgramTitle = QStringLiteral("ZEMLO Viewer");
constexpr int MinimumOuterWidth = 900;
constexpr int MinimumOuterHeight = 600;
constexpr int TabIconSize = 34;

// The timer interval for a refresh period in seconds: none for 0 or a negative period;
// a period beyond what QTimer takes (an int of milliseconds, about 24.8 days) gets the longest it takes.
std::optional<int> RefreshInterval(qint32 seconds)
{
    if (seconds <= 0)
        return std::nullopt;
    return int(std::min<qint64>(qint64(seconds) * 1000, std::numeric_limits<int>::max()));
}

// While the connection fails, it is tried again after the refresh period, or after 5 s
// without one.
int RetryInterval(qint32 refreshSeconds)
{
    return RefreshInterval(refreshSeconds).value_or(5000);
}

// Whether a failed read says that the server could not be reached or the connection broke.
bool IsConnectionFault(const sql::SqlError& error)
{
    return error.cause() == sql::SqlError::Cause::Connection;
}

// What makes a refresh error the same as the one before: its text, except that every fault of
// the connection is one, whatever words the client library finds for it (the status tells
// the newest ones).
QString RepeatKey(const std::exception& error)
{
    const auto* sqlError = dynamic_cast<const sql::SqlError*>(&error);
    return sqlError && IsConnectionFault(*sqlError) ? QStringLiteral("connection") : QString::fromUtf8(error.what());
}

QFont Tahoma(int points, bool bold = false, bool italic = false)
{
    QFont font(QStringLiteral("Tahoma"), points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont SegoeUi(int points)
{
    return QFont(QStringLiteral("Segoe UI"), points);
}

template <typename Widget>
Widget* Named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

// A label for texts that come from the database or the settings files: shown as written.
QLabel* PlainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QPixmap Artwork(const QString& name, int width, int height)
{
    return QIcon(QStringLiteral(":/resources/") + name).pixmap(width, height);
}

void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, Qt::black);
    widget->setPalette(palette);
}

QToolButton* ToolButton(QWidget* parent, const QString& name, int left, const QString& hint,
                        const QString& picture, int pictureSize)
{
    auto* button = Named(new QToolButton(parent), name);
    button->setGeometry(left, 4, 40, 40);
    button->setAutoRaise(true);
    button->setToolTip(hint);
    button->setIcon(QIcon(QStringLiteral(":/resources/") + picture));
    button->setIconSize(QSize(pictureSize, pictureSize));
    return button;
}

} // namespace

QString VersionText(qint32 major, qint32 minor)
{
    return QString::number(major) + QLatin1Char('.') + common::ZeroPad(quint64(std::max(minor, 0)), 2) + QStringLiteral(".00");
}

QString MainCaption(qint32 major, qint32 minor, const QString& reportUser)
{
    QString caption = ProgramTitle + QStringLiteral(" wersja: ") + VersionText(major, minor);
    if (!reportUser.isEmpty())
        caption += QStringLiteral(" [") + reportUser + QLatin1Char(']');
    return caption;
}

TFMain::TFMain(StartContext context, QWidget* parent)
    : QMainWindow(parent)
    , m_context(std::move(context))
    , m_database(std::make_unique<db::CDataBase>())
    , m_channels(std::make_unique<db::ChannelTable>())
{
    // Until the files are read, every setting is zero or empty: a failed read leaves them so.
    m_config = {};
    m_config.Refresh = 0;
    m_config.Dot = 0;
    BuildLayout();
    m_liveView = std::make_unique<live::LiveView>(
        live::LiveView::Controls{ScrollBox, LabelUpdate, {ImgSourceA0, ImgSourceA1, ImgSourceA2, ImgSourceAK}},
        *m_database, SQLQuery, *m_channels);
    m_historyView = std::make_unique<history::HistoryView>(
        history::HistoryView::Controls{DataGrid, EventGrid, Chart, ProgressBar, picker_in_d, picker_in_t, picker_out_d,
                                       picker_out_t},
        *m_database, SQLQuery, *m_channels);
    connect(m_liveView.get(), &live::LiveView::dotDoubleClicked, this, Guarded(this, &TFMain::ShowChannelInfo));
    connect(TimerUpdate, &QTimer::timeout, this, Guarded(this, &TFMain::TimerUpdateTimer));
    connect(TimerReconnect, &QTimer::timeout, this, Guarded(this, &TFMain::TimerReconnectTimer));
    connect(PageControlMain, &QTabWidget::currentChanged, this, Guarded(this, &TFMain::PageControlMainChange));
    // The long works hold the window: what the operator clicks or types meanwhile is dropped
    // when they end, before their error box if they fail.
    m_busyGate = new BusyGate(*this);
    const auto holdingWindow = [this](void (TFMain::*handler)()) {
        return [this, handler] {
            RunHandler([&] {
                const BusyGate::Work work(*m_busyGate);
                (this->*handler)();
            });
        };
    };
    connect(GetDataButton, &QToolButton::clicked, this, holdingWindow(&TFMain::GetDataButtonClick));
    connect(SpeedButton1, &QToolButton::clicked, this, holdingWindow(&TFMain::SpeedButton1Click));
    connect(OpenFolderButton, &QToolButton::clicked, this, Guarded(this, &TFMain::OpenFolderButtonClick));
    connect(PfdButton, &QToolButton::clicked, this, holdingWindow(&TFMain::PfdButtonClick));
    connect(Button1, &QPushButton::clicked, this, Guarded(this, &TFMain::Button1Click));
    connect(Button2, &QPushButton::clicked, this, Guarded(this, &TFMain::Button2Click));
    ActualSheet->installEventFilter(this);
    // On an error the window is still created; the steps after the failing one are skipped.
    RunHandler([this] { FormCreate(); });
    FReport001 = new report::TFReport001(this);
    FReport001->PReport.setCreator(ProgramTitle + QLatin1Char(' ') + VersionText(m_versionMajor, m_versionMinor));
}

TFMain::~TFMain()
{
    // The information windows have no owner; whatever is still open goes with the program.
    for (const QPointer<QWidget>& window : std::as_const(m_infoWindows))
        delete window.data();
}

void TFMain::BuildLayout()
{
    setObjectName(QStringLiteral("FMain"));
    setWindowTitle(QStringLiteral("FMain"));
    setFont(Tahoma(8));
    setMinimumSize(MinimumOuterWidth, MinimumOuterHeight);
    for (int i = 0; i < 9; ++i)
        ImageListPageControl.append(QIcon(QStringLiteral(":/resources/tab_%1.svg").arg(i)));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    LabelStatus = Named(PlainLabel(QStringLiteral("LabelStatus"), central), QStringLiteral("LabelStatus"));
    LabelStatus->setFixedHeight(30);
    LabelStatus->setAlignment(Qt::AlignCenter);
    LabelStatus->setAutoFillBackground(true);
    LabelStatus->setFont(Tahoma(8, true));
    SetBackground(LabelStatus, Qt::red);
    column->addWidget(LabelStatus);

    PageControlMain = Named(new QTabWidget(central), QStringLiteral("PageControlMain"));
    PageControlMain->setIconSize(QSize(TabIconSize, TabIconSize));
    PageControlMain->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { height: 50px; }"));
    PageControlMain->addTab(BuildLiveSheet(), ImageListPageControl[0], QStringLiteral("Podgląd"));
    PageControlMain->addTab(BuildReportSheet(), ImageListPageControl[7], QStringLiteral("Raporty"));
    PageControlMain->setCurrentWidget(ReportSheet);
    column->addWidget(PageControlMain, 1);
    setCentralWidget(central);

    StatusBar = Named(new QStatusBar(this), QStringLiteral("StatusBar"));
    StatusBar->setFixedHeight(19);
    StatusBar->setSizeGripEnabled(true);
    StatusPanel = Named(PlainLabel(QString(), StatusBar), QStringLiteral("StatusPanel"));
    StatusBar->addWidget(StatusPanel, 1);
    setStatusBar(StatusBar);

    TimerUpdate = Named(new QTimer(this), QStringLiteral("TimerUpdate"));
    TimerReconnect = Named(new QTimer(this), QStringLiteral("TimerReconnect"));
    TimerReconnect->setSingleShot(true);
}

QWidget* TFMain::BuildLiveSheet()
{
    ActualSheet = Named(new QWidget, QStringLiteral("ActualSheet"));
    auto* fill = new QVBoxLayout(ActualSheet);
    fill->setContentsMargins(0, 0, 0, 0);
    ScrollBox = Named(new QScrollArea(ActualSheet), QStringLiteral("ScrollBox"));
    ScrollBox->setWidgetResizable(false);
    auto* rows = Named(new QWidget, QStringLiteral("ScrollBoxContent"));
    rows->resize(876, 503);
    ScrollBox->setWidget(rows);
    fill->addWidget(ScrollBox);

    LabelUpdate = Named(PlainLabel(QStringLiteral("Data Ostatniej aktualizacji: -"), rows), QStringLiteral("LabelUpdate"));
    LabelUpdate->setGeometry(3, 3, 414, 13);
    LabelUpdate->setFont(Tahoma(8, false, true));
    QPalette grey = LabelUpdate->palette();
    grey.setColor(QPalette::WindowText, grey.color(QPalette::Disabled, QPalette::WindowText));
    LabelUpdate->setPalette(grey);
    LabelUpdate->hide();

    const auto dotSource = [rows](const QString& name, const QString& picture) {
        auto* source = Named(new QLabel(rows), name);
        source->setPixmap(Artwork(picture, 16, 16));
        source->resize(16, 16);
        source->hide();
        return source;
    };
    ImgSourceA1 = dotSource(QStringLiteral("ImgSourceA1"), QStringLiteral("dot_orange.svg"));
    ImgSourceA2 = dotSource(QStringLiteral("ImgSourceA2"), QStringLiteral("dot_red.svg"));
    ImgSourceAK = dotSource(QStringLiteral("ImgSourceAK"), QStringLiteral("dot_blue.svg"));
    ImgSourceAK->setCursor(Qt::PointingHandCursor);
    ImgSourceA0 = dotSource(QStringLiteral("ImgSourceA0"), QStringLiteral("dot_green.svg"));
    return ActualSheet;
}

QWidget* TFMain::BuildButtonPanel()
{
    PanelButton = Named(new QWidget, QStringLiteral("PanelButton"));
    PanelButton->setFixedHeight(50);

    const auto datePicker = [this](const QString& name, int left) {
        auto* picker = Named(new history::CalendarPicker(PanelButton), name);
        picker->setGeometry(left, 4, 150, 40);
        picker->setFont(SegoeUi(12));
        QPalette grey = picker->palette();
        grey.setColor(QPalette::Text, QColor(128, 128, 128));
        picker->setPalette(grey);
        picker->setHint(QStringLiteral("wybierz datę"));
        picker->setCalendarFonts(SegoeUi(15), SegoeUi(10));
        return picker;
    };
    const auto timePicker = [this](const QString& name, int left) {
        auto* picker = Named(new history::TimePicker(PanelButton), name);
        picker->setFont(SegoeUi(12));
        picker->setTime(QTime(21, 39, 41));
        picker->setGeometry(left, 4, 130, 40);
        return picker;
    };
    picker_in_d = datePicker(QStringLiteral("picker_in_d"), 3);
    picker_in_t = timePicker(QStringLiteral("picker_in_t"), 159);
    Label1 = Named(new QLabel(QStringLiteral("-"), PanelButton), QStringLiteral("Label1"));
    Label1->setGeometry(304, 16, 41, 13);
    Label1->setAlignment(Qt::AlignCenter);
    picker_out_d = datePicker(QStringLiteral("picker_out_d"), 336);
    picker_out_t = timePicker(QStringLiteral("picker_out_t"), 492);

    GetDataButton = ToolButton(PanelButton, QStringLiteral("GetDataButton"), 648, QStringLiteral("Pobierz dane"), QStringLiteral("tool_fetch.svg"), 28);
    SpeedButton1 = ToolButton(PanelButton, QStringLiteral("SpeedButton1"), 730, QStringLiteral("Zapisz do CSV"), QStringLiteral("tool_csv.svg"), 34);
    PfdButton = ToolButton(PanelButton, QStringLiteral("PfdButton"), 776, QStringLiteral("Generuj raport PDF"), QStringLiteral("tool_pdf.svg"), 34);
    OpenFolderButton = ToolButton(PanelButton, QStringLiteral("OpenFolderButton"), 822, QStringLiteral("Otwórz folder raportów"), QStringLiteral("tool_folder.svg"), 32);
    return PanelButton;
}

QWidget* TFMain::BuildChartSheet()
{
    TabSheetChart = Named(new QWidget, QStringLiteral("TabSheetChart"));
    auto* column = new QVBoxLayout(TabSheetChart);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Chart = Named(new history::HistoryChart(TabSheetChart), QStringLiteral("Chart"));
    column->addWidget(Chart, 1);
    ChartLegend = Named(new history::ChartLegend(*Chart, TabSheetChart), QStringLiteral("ChartLegend"));
    ChartLegend->setMaximumHeight(72);
    column->addWidget(ChartLegend);

    ChartPanel = Named(new QWidget(TabSheetChart), QStringLiteral("ChartPanel"));
    ChartPanel->setFixedHeight(41);
    Button1 = Named(new QPushButton(QStringLiteral("Zaznacz wszytki"), ChartPanel), QStringLiteral("Button1"));
    Button1->setGeometry(16, 10, 121, 25);
    Button2 = Named(new QPushButton(QStringLiteral("Odznacz wszytskie"), ChartPanel), QStringLiteral("Button2"));
    Button2->setGeometry(145, 10, 121, 25);
    column->addWidget(ChartPanel);
    return TabSheetChart;
}

QWidget* TFMain::BuildReportSheet()
{
    ReportSheet = Named(new QWidget, QStringLiteral("ReportSheet"));
    auto* column = new QVBoxLayout(ReportSheet);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildButtonPanel());

    PageControlData = Named(new QTabWidget(ReportSheet), QStringLiteral("PageControlData"));
    PageControlData->setIconSize(QSize(TabIconSize, TabIconSize));
    PageControlData->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { height: 50px; }"));
    PageControlData->setUsesScrollButtons(false);

    const auto gridPage = [this](const QString& pageName, history::StringGrid*& grid, const QString& gridName) {
        auto* page = Named(new QWidget, pageName);
        auto* fill = new QVBoxLayout(page);
        fill->setContentsMargins(0, 0, 0, 0);
        grid = Named(new history::StringGrid(page), gridName);
        grid->hide();
        fill->addWidget(grid);
        return page;
    };
    TabSheetData = gridPage(QStringLiteral("TabSheetData"), DataGrid, QStringLiteral("DataGrid"));
    DataGrid->setColCount(2);
    DataGrid->setRowCount(2);
    DataGrid->setFixedRows(1);
    DataGrid->setFixedCols(1);
    TabSheetEvent = gridPage(QStringLiteral("TabSheetEvent"), EventGrid, QStringLiteral("EventGrid"));
    EventGrid->setColCount(5);
    EventGrid->setFixedCols(1);
    EventGrid->setRowCount(1);

    PageControlData->addTab(TabSheetData, ImageListPageControl[6], QStringLiteral("Pomiary"));
    PageControlData->addTab(TabSheetEvent, ImageListPageControl[5], QStringLiteral("Zdarzenia"));
    PageControlData->addTab(BuildChartSheet(), ImageListPageControl[1], QStringLiteral("Przebiegi"));
    PageControlData->setCurrentWidget(TabSheetChart);
    column->addWidget(PageControlData, 1);

    ProgressBar = Named(new QProgressBar(ReportSheet), QStringLiteral("ProgressBar"));
    ProgressBar->setFixedHeight(17);
    ProgressBar->setTextVisible(false);
    ProgressBar->setValue(0);
    column->addWidget(ProgressBar);
    return ReportSheet;
}

void TFMain::FormCreate()
{
    m_instanceMarker = std::make_unique<os::SingleInstanceMarker>(m_context.instanceMarkerName);
    if (m_instanceMarker->alreadyExisted()) {
        os::Desktop::current().showMessage(ProgramTitle, QStringLiteral("Ten program jest już uruchomiony!"),
                                           os::Desktop::Icon::Information);
        // The rest of the start-up still runs; the event loop ends as soon as it starts.
        m_terminateRequested = true;
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }

    TellIfArtworkMissing();

    os::ReadFileVersion(m_versionMajor, m_versionMinor, m_versionRelease, m_versionBuild);

    QDir().mkpath(m_context.folders.reports);
    m_reportsFolder = os::FolderWithSeparator(QDir::cleanPath(m_context.folders.reports));

    // A user's configuration folder may not exist yet; the executable's always does.
    QDir().mkpath(m_context.folders.ini);
    m_settingsPath = m_context.folders.ini + QStringLiteral("settings.ini");
    LoadOrSaveWindowSettings(true);
    m_connectionPath = m_context.folders.ini + QStringLiteral("connection.ini");
    LoadOrSaveConnection(true);
    m_configPath = m_context.folders.ini + QStringLiteral("config.ini");
    LoadOrSaveConfig(true);

    setWindowTitle(MainCaption(m_versionMajor, m_versionMinor, m_config.User));

    Chart->setDateTimeFormat(QStringLiteral("dd-MM-yyyy\nhh:mm:ss"));
    const bool allCharts = m_config.AllCharts != 0;
    ChartLegend->setCheckBoxes(!allCharts);
    ChartPanel->setVisible(!allCharts);
    Chart->setMouseZoom(m_config.Zoom != 0);
    Chart->setLeftAxisRange(history::FixedLeftAxisRange(m_config.Scale, m_config.Min, m_config.Max));

    if (!m_config.Path.isEmpty()) {
        if (QFileInfo(m_config.Path).isDir())
            m_reportsFolder = os::FolderWithSeparator(m_config.Path);
        else
            os::Desktop::current().showMessage(QStringLiteral("Zapis danych"), QStringLiteral("Błąd ścieżki do zapisu raportów!"),
                                               os::Desktop::Icon::Error);
    }
}

void TFMain::LoadOrSaveWindowSettings(bool load)
{
    if (load) {
        m_windowSettings = m_settingsFiles.load(m_settingsPath, config::LoadWindowSettings);
        ApplyWindowSettings(m_windowSettings);
    } else if (m_settingsFiles.mayWrite(m_settingsPath)) {
        config::SaveWindowSettings(m_settingsPath, CurrentWindowSettings());
    }
}

void TFMain::LoadOrSaveConnection(bool load)
{
    // Only read: the operator edits connection.ini, the program never rewrites it.
    if (load)
        m_connection = m_settingsFiles.load(m_connectionPath, config::LoadConnectionSettings);
}

void TFMain::LoadOrSaveConfig(bool load)
{
    // Only read, like connection.ini.
    if (load)
        m_config = m_settingsFiles.load(m_configPath, [](const QString& path, QStringList* unusable) {
            return config::LoadViewConfig(path, QLocale(), unusable);
        });
}

void TFMain::ApplyWindowSettings(config::WindowSettings& settings)
{
    // A window off every screen cannot be found, and one larger than the screen holds memory
    // for pixels nobody sees: the window opens on the screen, and that is what is saved again.
    const QRect placed = FitToScreen(settings, {MinimumOuterWidth, MinimumOuterHeight});
    settings.ScreenLeft = placed.left();
    settings.ScreenTop = placed.top();
    settings.ScreenWidth = placed.width();
    settings.ScreenHeight = placed.height();
    move(placed.topLeft());
    resize(placed.size());
    setWindowState(settings.ScreenState == 2 ? Qt::WindowMaximized : Qt::WindowNoState);
}

config::WindowSettings TFMain::CurrentWindowSettings() const
{
    if (!m_shownOnce) {
        // Never shown: the geometry stays what was read at start.
        config::WindowSettings unchanged = m_windowSettings;
        unchanged.ScreenState = isMaximized() ? 2 : 0;
        return unchanged;
    }
    QRect outer = frameGeometry();
    if (isMinimized()) {
        const QMargins frame(geometry().left() - outer.left(), geometry().top() - outer.top(),
                             outer.right() - geometry().right(), outer.bottom() - geometry().bottom());
        outer = normalGeometry().marginsAdded(frame);
    }
    return {outer.top(), outer.left(), outer.width(), outer.height(), isMaximized() ? 2 : 0};
}

void TFMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        // The window manager adds its frame only once the window is up.
        QTimer::singleShot(0, this, &TFMain::FitFrameToSavedGeometry);
    }
}

void TFMain::FitFrameToSavedGeometry()
{
    // settings.ini holds the outer size: take the frame off, so that a start and a close
    // without a move give back the same numbers, and keep the outer minimum of 900 x 600.
    const QSize frame = frameGeometry().size() - geometry().size();
    setMinimumSize(std::max(0, MinimumOuterWidth - frame.width()), std::max(0, MinimumOuterHeight - frame.height()));
    if (!isMaximized() && !frame.isNull())
        resize(m_windowSettings.ScreenWidth - frame.width(), m_windowSettings.ScreenHeight - frame.height());
}

void TFMain::ShowConnectionState(ConnectionState state, const QString& reason, std::optional<int> nextTry)
{
    m_connectionState = state;
    switch (state) {
    case ConnectionState::Connected:
        // With several servers listed, the panel names the one in use.
        StatusPanel->setText(QStringLiteral("Baza danych :: ") + m_connection.Name + QStringLiteral(" :: ")
                             + m_connection.User + QStringLiteral(" :: ****")
                             + (SQLConnection.serverCount() > 1 ? QStringLiteral(" :: ") + SQLConnection.serverInUse()
                                                                : QString()));
        SetBackground(LabelStatus, QColor(0xC0, 0xDC, 0xC0));
        LabelStatus->setText(QStringLiteral("Połączono poprawnie z bazą daych."));
        break;
    case ConnectionState::Failed:
    case ConnectionState::Lost:
        // A lost connection keeps its summary: the values are right, the server is away.
        if (state == ConnectionState::Failed)
            StatusPanel->setText(QStringLiteral("Baza danych: -"));
        SetBackground(LabelStatus, QColor(0xFD, 0x7C, 0x66));
        LabelStatus->setText(QStringLiteral("Błąd połączenia z baza danych."));
        break;
    case ConnectionState::Disconnected:
        StatusPanel->setText(QStringLiteral("Baza danych: -"));
        SetBackground(LabelStatus, Qt::white);
        LabelStatus->setText(QStringLiteral("-"));
        break;
    }
    // The fixed texts do not tell a wrong password from a server that is down, nor which
    // server answers: that is at hand on hover, with a settings file that could not be used.
    // The server's words quote the connection values: shown as written.
    QStringList tip;
    if (state == ConnectionState::Connected)
        tip.append(QStringLiteral("Serwer bazy danych: ") + SQLConnection.serverInUse());
    if (!reason.isEmpty())
        tip.append(reason);
    if (nextTry)
        tip.append(QStringLiteral("Następna próba połączenia: ")
                   + common::DateTimeText(os::CurrentDateTime().addMSecs(*nextTry)));
    if (const QString note = m_settingsFiles.statusNote(); !note.isEmpty())
        tip.append(note);
    LabelStatus->setToolTip(tip.isEmpty() ? QString() : Qt::convertFromPlainText(tip.join(QLatin1Char('\n'))));
    // What was fetched before the connection was lost can still be saved and reported.
    PanelButton->setEnabled(state == ConnectionState::Connected || state == ConnectionState::Lost);
}

void TFMain::ToggleConnection()
{
    TimerReconnect->stop();
    FirstError error;
    if (!m_database->connected())
        OpenConnection(error);
    else
        CloseConnection();
    const bool connected = m_database->connected();
    DataGrid->setVisible(connected);
    EventGrid->setVisible(connected);
    LabelUpdate->setVisible(connected);
    history::ClearGrid(*DataGrid);
    history::ClearGrid(*EventGrid);
    // One error box, once the window shows the state the sequence left; a sequence that is
    // tried again and fails the same way shows none.
    if (!error)
        m_connectError.clear();
    else if (m_connectError.isNew(error.message()))
        error.rethrow();
}

void TFMain::OpenConnection(FirstError& error)
{
    m_database->SetParams(m_connection.User, m_connection.Password, m_connection.Host, m_connection.Name);
    FirstError connectError;
    connectError.run([this] { m_database->Connect(SQLConnection, SQLQuery); });
    if (connectError) {
        ConnectionFailed(connectError.message());
        return;
    }
    ShowConnectionState(ConnectionState::Connected);
    // Without the channel table there is nothing to build or to refresh: a table that cannot
    // be read gives the connection up again, with the reason where a failed connect puts it.
    error.run([this] { LoadChannelTable(); });
    if (error) {
        m_database->Disconnect(SQLConnection);
        m_channels->count = 0;
        ConnectionFailed(QStringLiteral("Serwer bazy danych odpowiada, ale tabeli ustawień kanałów %1 nie można odczytać. ")
                             .arg(QLatin1String(db::contract::SettingsTable))
                         + error.message());
        return;
    }
    m_liveView->BuildLiveView(m_channels->count);
    m_historyView->resetToChannels();
    history::PrepareEventGrid(*EventGrid);
    history::PrepareDataGrid(*DataGrid, *m_channels, m_channels->count);
    // Each read of a measurement row is tried even when one before it failed (a zero date in
    // the oldest row must not keep the live view from its timer): the view recovers by itself
    // once the data is good.
    error.run([this] {
        Watched([this] {
            history::InitDateRange(*m_database, SQLQuery, db::contract::DataTable, *picker_in_d, *picker_in_t, *picker_out_d,
                                   *picker_out_t);
        });
    });
    StartRefreshTimer();
    error.run([this] { Watched([this] { RefreshLiveView(db::contract::DataTable); }); });
}

void TFMain::ConnectionFailed(const QString& reason)
{
    const int retry = RetryInterval(m_config.Refresh);
    TimerReconnect->start(retry);
    ShowConnectionState(ConnectionState::Failed, reason, retry);
}

template <typename Read>
void TFMain::Watched(Read&& read)
{
    bool serverChanged = false;
    try {
        // A lost server is left for the next one listed; the only one is tried again.
        if (m_connectionState == ConnectionState::Lost) {
            SQLConnection.failOver();
            serverChanged = true;
        }
        try {
            read();
        } catch (const sql::SqlError& error) {
            // With another server listed, the read goes there at once.
            if (!IsConnectionFault(error) || SQLConnection.serverCount() < 2)
                throw;
            SQLConnection.failOver();
            serverChanged = true;
            read();
        }
    } catch (const sql::SqlError& error) {
        if (IsConnectionFault(error))
            ConnectionLost(QString::fromUtf8(error.what()));
        else
            ConnectionAnswered();
        throw;
    }
    ConnectionAnswered(serverChanged);
}

void TFMain::ConnectionLost(const QString& reason)
{
    if (!m_database->connected())
        return;
    // The client library reconnects at the next read: a refresh tick makes it, or without
    // ticks the reconnect timer.
    int nextTry = 0;
    if (TimerUpdate->isActive()) {
        nextTry = TimerUpdate->remainingTime();
    } else {
        nextTry = RetryInterval(m_config.Refresh);
        TimerReconnect->start(nextTry);
    }
    ShowConnectionState(ConnectionState::Lost, reason, nextTry);
}

void TFMain::ConnectionAnswered(bool serverChanged)
{
    if (m_connectionState != ConnectionState::Lost && !serverChanged)
        return;
    TimerReconnect->stop();
    ShowConnectionState(ConnectionState::Connected);
}

void TFMain::LoadChannelTable()
{
    db::LoadChannelSettings(*m_database, SQLQuery, db::contract::SettingsTable, *m_channels);
    if (m_channels->leftOut > 0)
        os::Desktop::current().showMessage(
            ProgramTitle,
            QStringLiteral("Tabela ZEMLO_SETTINGS ma więcej niż %1 kanałów; wczytano pierwsze %1. Pominięte kanały: %2.")
                .arg(db::ChannelTable::Capacity)
                .arg(m_channels->leftOut),
            os::Desktop::Icon::Warning);
}

void TFMain::StartRefreshTimer()
{
    if (const std::optional<int> interval = RefreshInterval(m_config.Refresh)) {
        TimerUpdate->setInterval(*interval);
        TimerUpdate->start();
    } else {
        TimerUpdate->stop();
    }
}

void TFMain::CloseConnection()
{
    m_database->Disconnect(SQLConnection);
    m_refreshError.clear();
    m_channels->count = 0;
    m_liveView->ClearLiveView();
    m_historyView->resetToChannels();
    ShowConnectionState(ConnectionState::Disconnected);
    TimerUpdate->stop();
}

void TFMain::RefreshLiveView(const QString& table)
{
    m_liveView->RefreshLiveView(table);
}

void TFMain::RefreshLiveViewTellingOnce()
{
    try {
        Watched([this] { RefreshLiveView(db::contract::DataTable); });
    } catch (const std::exception& error) {
        if (m_refreshError.isNew(RepeatKey(error)))
            throw;
        return;
    }
    m_refreshError.clear();
}

void TFMain::TimerUpdateTimer()
{
    // While a box is open (an error, a message, the close question), ticks do not pile up
    // more boxes on top of it.
    if (os::Desktop::boxOpen())
        return;
    RefreshLiveViewTellingOnce();
}

void TFMain::TimerReconnectTimer()
{
    // Behind an open box, the try waits for the next period.
    if (os::Desktop::boxOpen()) {
        TimerReconnect->start(RetryInterval(m_config.Refresh));
        return;
    }
    // A lost connection comes back with the next read; a failed connect sequence runs again whole.
    if (m_database->connected())
        RefreshLiveViewTellingOnce();
    else
        ToggleConnection();
}

void TFMain::PageControlMainChange()
{
    if (PageControlMain->currentWidget() == ActualSheet)
        RefreshLiveViewTellingOnce();
}

void TFMain::ShowChannelInfo(quint32 channel)
{
    m_infoWindows.removeAll(nullptr);
    if (QWidget* window = live::ShowChannelInfo(channel, *m_channels))
        m_infoWindows.append(window);
}

void TFMain::GetDataButtonClick()
{
    Watched([this] { m_historyView->GetDataButtonClick(); });
}

void TFMain::SpeedButton1Click()
{
    if (m_channels->count == 0)
        return;
    m_lastOutputDateTime = os::CurrentDateTime();
    history::SaveGridsToCsv(m_reportsFolder, m_lastOutputDateTime, *DataGrid, *EventGrid, m_lastOutputPath);
    if (os::Desktop::current().askYesNo(QStringLiteral("Zapis danych"),
                                        QStringLiteral("Dane zostały zapisane.\nCzy chcesz otworzyć folder z danymi?"),
                                        os::Desktop::Icon::Information))
        OpenFolderButtonClick();
}

void TFMain::OpenFolderButtonClick()
{
    // Whether the desktop could open it is not the program's concern.
    os::Desktop::current().openPath(m_reportsFolder);
}

void TFMain::PfdButtonClick()
{
    if (m_channels->count == 0)
        return;
    const QString caption = QStringLiteral("Generowanie raportu");
    const report::ReportSource source{*m_channels,
                                      m_historyView->lastFetch(),
                                      Chart->activeFlags(),
                                      Chart->colours(),
                                      Chart->dateTimeFormat(),
                                      os::CurrentDateTime(),
                                      {m_config.Scale, m_config.Min, m_config.Max, m_config.User, m_config.AllCharts}};
    // A report of nothing is not written: no viewer opens a document without pages.
    if (!source.fetch.rangeStart.isValid()) {
        os::Desktop::current().showMessage(caption, QStringLiteral("Brak danych do raportu: najpierw pobierz dane."),
                                           os::Desktop::Icon::Warning);
        return;
    }
    if (report::PageCount(source) == 0) {
        os::Desktop::current().showMessage(
            caption, QStringLiteral("Nie zaznaczono żadnego kanału: zaznacz kanały raportu w legendzie wykresu."),
            os::Desktop::Icon::Warning);
        return;
    }
    m_lastOutputDateTime = source.outputDateTime;
    m_lastOutputPath = common::OutputFilePath(m_reportsFolder, QStringLiteral("report_"), m_lastOutputDateTime,
                                              QStringLiteral(".pdf"));
    FReport001->PReport.setFileName(m_lastOutputPath);
    FReport001->GenerateReport(source, ProgressBar);
    if (os::Desktop::current().askYesNo(caption, QStringLiteral("Raport został wygenerowany.\nCzy chcesz podejrzeć raport?"),
                                        os::Desktop::Icon::Information))
        os::Desktop::current().openPath(m_lastOutputPath);
}

void TFMain::Button1Click()
{
    Chart->setAllSeriesActive(true);
}

void TFMain::Button2Click()
{
    Chart->setAllSeriesActive(false);
}

bool TFMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ActualSheet && event->type() == QEvent::Resize)
        m_liveView->ActualSheetResize();
    return QMainWindow::eventFilter(watched, event);
}

bool TFMain::FormCloseQuery()
{
    return os::Desktop::current().askYesNo(QStringLiteral("Zakończ program"),
                                           QStringLiteral("Czy na pewno zakończyć działanie programu?"));
}

void TFMain::FormClose()
{
    LoadOrSaveConfig(false);
    // The program must still end, with the connection closed, when settings.ini is unwritable.
    RunHandler([this] { LoadOrSaveWindowSettings(false); });
    LoadOrSaveConnection(false);
    m_database->Disconnect(SQLConnection);
    // An ended program does not connect again.
    TimerReconnect->stop();
}

void TFMain::closeEvent(QCloseEvent* event)
{
    // Asked once the work that holds the window has ended.
    if (m_busyGate->deferClose()) {
        event->ignore();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
    QCoreApplication::quit();
}

} // namespace app
