// The message log as a diagnosis instrument: words and times beside the
// frames, the port's events between them, a filter, a pause, a limit, counts,
// and saving as text and JSON Lines; where it opens and how it resizes.
#include "ui/message_log.h"

#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <array>

#include "link/frame.h"
#include "tests/ui/window_rig.h"

namespace korvel::testing {
namespace {

using namespace std::chrono_literals;

const QString dot = QString::fromUtf8(" \xC2\xB7 ");
const QRegularExpression startsWithTime("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d(  |$)");

// An exchange answered at once.
ExchangeRecord answeredRecord() {
    ExchangeRecord r;
    r.request = encodeRequest(Frame{1, 0}, true, false);
    r.answer = {8, 0xF8};
    return r;
}

QString cell(QAbstractItemModel* model, int row, int column) {
    return model->index(row, column).data().toString();
}

struct MessageLogTest : WindowTest {
    ui::MessageLogWindow* log() { return window->messageLog().existingWindow(); }
    QAbstractItemModel* view() { return log()->findChild<QTableView*>("txtMsgLog")->model(); }
    int rows() { return view()->rowCount(); }
    QStringList column(int c) {
        QStringList cells;
        for (int r = 0; r < rows(); ++r) cells << cell(view(), r, c);
        return cells;
    }
    void untickColumns() {
        for (const char* box : {"chkColTime", "chkColDelay", "chkColWords"}) {
            QTest::mouseClick(log()->findChild<QCheckBox*>(box), Qt::LeftButton, {}, QPoint(5, 5));
            QApplication::processEvents();
        }
    }
};

TEST_F(MessageLogTest, WordsStandBesideEveryLineAfterAStatusRequestAndAKxSet) {
    registerDemo();
    showTab(0);
    type("txtHFI", "12");
    click("chkKXperm");
    click("cmdHFI(0)");
    showLogAndTestFrame();
    ASSERT_NE(log(), nullptr);
    EXPECT_TRUE(column(ui::LogModel::WordsColumn)
                    .contains("KX 0" + dot + "set HFI-level = 12 (permanent)"));
    EXPECT_EQ(cell(view(), 1, ui::LogModel::TextColumn),
              ">> 2A 01 02 53" + QString(15, ' ') + "  << 0C 01 02 19 01 57");
    EXPECT_TRUE(startsWithTime.match(cell(view(), 1, ui::LogModel::TimeColumn)).hasMatch());
    EXPECT_EQ(cell(view(), 1, ui::LogModel::DelayColumn), "5 ms");  // the simulator's answer time
    log()->resize(1180, log()->height());
    screenshot(log(), "message_log_words");
    // The filter finds a module as a whole number.
    QTest::keyClicks(log()->findChild<QLineEdit*>("txtFilter"), "kx 1");
    EXPECT_EQ(column(ui::LogModel::WordsColumn), QStringList{"status KX 1" + dot + "Not Found"});
    EXPECT_TRUE(ui::LogFilter::matches("status KX 5.1", "KX 5"));
    EXPECT_FALSE(ui::LogFilter::matches("status KX 12", "KX 1"));
    EXPECT_TRUE(ui::LogFilter::matches(">> 2A 01 02 53", "01 02"));
    log()->findChild<QLineEdit*>("txtFilter")->clear();
    EXPECT_EQ(rows(), static_cast<int>(log()->model().lineCount()));
    auto* table = log()->findChild<QTableView*>("txtMsgLog");
    untickColumns();
    for (int c = 0; c < ui::LogModel::ColumnCount; ++c)
        EXPECT_EQ(table->isColumnHidden(c), c != ui::LogModel::TextColumn) << c;
}

TEST_F(MessageLogTest, PauseHoldsTheViewWhileTheRecordGoesOn) {
    pickPort();
    click("cmdReset");
    showLogAndTestFrame();
    QTest::mouseClick(log()->findChild<QCheckBox*>("chkPause"), Qt::LeftButton, {}, QPoint(5, 5));
    click("cmdReset");
    click("cmdReset");
    // "Port 1 opened" and the first Reset Fault shown, the record goes on.
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(logText().count('\n'), 3);
    EXPECT_EQ(shown("dlgMsgLog/lblWaiting"), "Lines waiting: 2");
    screenshot(log(), "message_log_paused");
    QTest::mouseClick(log()->findChild<QCheckBox*>("chkPause"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(rows(), 4);
    EXPECT_EQ(shown("dlgMsgLog/lblWaiting"), "hidden");
}

// The port's own events stand between the exchanges, in the order they came.
TEST_F(MessageLogTest, OpeningClosingAndLosingThePortAreLinesOfTheLog) {
    pickPort();
    click("cmdReset");
    pickPort();
    click("cmdRefresh");
    pickPort();
    controller.faults().vanishAfterFrames = 0;
    click("cmdReset");
    QApplication::processEvents();
    showLogAndTestFrame();
    QStringList lines = column(ui::LogModel::TextColumn);
    for (QString& line : lines)
        if (line.startsWith(">>")) line = ">>";
    EXPECT_EQ(lines,
              (QStringList{"Port 1 opened", ">>", "Port closed", "Port 1 opened", "Port closed",
                           "Port 1 opened", ">>", "Connection lost, port closed"}));
}

// The exchange only keeps its record; the window takes it at the next turn of
// the event loop, so the next request never waits for the log.
TEST_F(MessageLogTest, TheWindowTakesAnExchangeAtTheNextTurnOfTheEventLoop) {
    pickPort();
    showLogAndTestFrame();
    ui::MessageLogWindow* shownLog = log();
    const std::size_t before = shownLog->model().lineCount();
    window->link().Transact(Frame{1, 0});
    const std::size_t unturned = shownLog->model().lineCount();
    QApplication::processEvents();
    EXPECT_EQ(std::tuple(unturned, shownLog->model().lineCount()), std::tuple(before, before + 1));
}

// Counted since Clear: what the line went through, one count per kind of event.
TEST(LogModel, CountsWhatTheLineWentThroughUntilCleared) {
    const ExchangeRecord answered = answeredRecord();
    ExchangeRecord quietPoll = answered;  // no line, no exchange
    quietPoll.request = encodeRequest(Frame{}, true, false);
    ExchangeRecord lost = answered;
    lost.answer.clear();
    lost.unanswered = true;
    ExchangeRecord badCheck = lost;
    badCheck.checkError = {8, 0x00};
    ExchangeRecord aside = answered;
    aside.setAside = {{0x0C, 0x01, 0x02, 0x19, 0x01, 0x57}, {0x08, 0x78}};
    ui::LogModel model;
    for (const ExchangeRecord& r : {answered, quietPoll, lost, badCheck, aside}) model.append(r, 0);
    const ui::LogModel::Counts& n = model.counts();
    EXPECT_EQ((std::array{n.exchanges, n.unanswered, n.checkErrors, n.setAside}),
              (std::array<long long, 4>{4, 1, 1, 2}));
    model.clear();
    EXPECT_EQ(model.counts().exchanges, 0);
}

// A number the log cannot keep stays in the box, marked, with the reason.
TEST(MessageLogKeepLines, RefusesVisiblyWhatItCannotKeep) {
    const QLocale before;
    QLocale::setDefault(QLocale::c());
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        {"500", 100'000, "500", "Keep lines: at least 1,000"},
        {"20,000,000", 100'000, "20,000,000", "Keep lines: at most 10,000,000"},
        {"many", 100'000, "many", "Keep lines takes a whole number of lines"},
        {"2500", 2500, "2,500", ""},
    };
    for (const auto& [typed, kept, shown, refusal] : cases) {
        ui::MessageLogWindow log(nullptr);
        auto* box = log.findChild<QLineEdit*>("txtLimit");
        box->selectAll();
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
        const bool marked = box->palette().color(QPalette::Base) !=
                            QApplication::palette(box).color(QPalette::Base);
        EXPECT_EQ(std::tuple(log.model().limit(), box->text(), box->toolTip(), marked),
                  std::tuple(kept, shown, refusal, *refusal != '\0'))
            << typed;
    }
    QLocale::setDefault(before);
}

// Past the limit the oldest lines go first, and the first row says how many went.
TEST(LogModel, KeepsItsLimitAndSaysHowManyLinesWent) {
    ui::LogModel model;
    model.setLimit(200);
    for (int i = 0; i < 450; ++i) model.append(answeredRecord(), 0);
    EXPECT_LE(model.lineCount(), 200u);
    EXPECT_GE(model.lineCount(), 198u);
    EXPECT_EQ(
        std::tuple(model.dropped() + static_cast<long long>(model.lineCount()), model.rowCount()),
        std::tuple(450LL, static_cast<int>(model.lineCount()) + 1));
    EXPECT_EQ(model.index(0, 0).data().toString(),
              QString("(%1 older lines dropped)").arg(model.dropped()));
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

// The saved text is the window's text; the JSON Lines file read back gives
// the same bytes, line by line.
TEST_F(MessageLogTest, SavedTextAndJsonLinesGiveTheWindowsBytes) {
    registerDemo();
    click("cmdReset");
    controller.faults().badCheckAnswers = 1;
    click("cmdReset");
    prompter.shown.clear();
    showLogAndTestFrame();
    // Without set-aside frames, an exchange is a line of the text.
    EXPECT_EQ(shown("dlgMsgLog/lblCounts"), QString("exchanges %1%2no answer 0%2check-byte errors "
                                                    "1%2set aside 0")
                                                .arg(logText().count('\n'))
                                                .arg(dot));
    EXPECT_TRUE(log()->copyText().split('\n')[1].endsWith(
        "  << 0C 01 02 19 01 57" + QString(14, ' ') + "5 ms  protocol version 3.10 A" + dot +
        "system OK"));
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    const auto savedText = [&] {
        EXPECT_EQ(log()->saveTo(path), "");
        QFile text(path);
        EXPECT_TRUE(text.open(QIODevice::ReadOnly));
        return QString::fromUtf8(text.readAll());
    };
    for (const QString& line : savedText().split("\r\n", Qt::SkipEmptyParts))
        EXPECT_TRUE(startsWithTime.match(line).hasMatch()) << line.toStdString();

    untickColumns();
    const QString saved = savedText();
    EXPECT_EQ(saved, QString("Port 1 opened\n" + logText()).replace("\n", "\r\n"));
    // What a JSON line holds is the line's own affair; here, one per line of the window.
    QFile json(dir.filePath("log.jsonl"));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QStringList textLines = saved.split("\r\n", Qt::SkipEmptyParts);
    const QList<QByteArray> jsonLines = json.readAll().split('\n');
    ASSERT_EQ(jsonLines.size(), textLines.size() + 1);  // the last line end leaves an empty piece
    for (int i = 0; i < textLines.size(); ++i)
        EXPECT_EQ(QJsonDocument::fromJson(jsonLines[i])["text"].toString(), textLines[i]) << i;
    EXPECT_NE(log()->saveTo(dir.filePath("missing/log.txt")), "");
    EXPECT_TRUE(QFile::exists(path));
}

// Each column starts wide enough for its header and for what the rows hold.
TEST_F(MessageLogTest, ColumnsStartWideEnoughForTheirContents) {
    pickPort();
    controller.faults().answerDelay = 1900ms;
    click("cmdStatus");
    showLogAndTestFrame();
    auto* table = log()->findChild<QTableView*>("txtMsgLog");
    table->scrollToTop();
    ASSERT_TRUE(column(ui::LogModel::DelayColumn).contains(QRegularExpression("^1\\d\\d\\d ms$")));
    for (int c : {ui::LogModel::TextColumn, ui::LogModel::TimeColumn, ui::LogModel::DelayColumn}) {
        // The view measures what its rows hold.
        const QAbstractItemView* measured = table;
        EXPECT_LE(measured->sizeHintForColumn(c), table->columnWidth(c)) << c;
        EXPECT_LE(table->horizontalHeader()->sectionSizeHint(c), table->columnWidth(c)) << c;
    }
}

// Right of the owner, else left of it, else against the roomier edge; never
// above or below the screen.
TEST(MessageLogPlace, BesideTheOwnerWhereTheScreenHasRoom) {
    const QRect screen(0, 0, 1920, 1080);
    const QSize log(500, 600);
    const std::pair<QRect, QPoint> cases[] = {{{100, 700, 600, 300}, {700, 480}},
                                              {{1300, 100, 600, 700}, {800, 100}},
                                              {{300, 100, 1300, 700}, {1420, 100}},
                                              {{400, 100, 1400, 700}, {0, 100}}};
    for (const auto& [owner, place] : cases)
        EXPECT_EQ(ui::besideOwner(owner, log, screen), place) << owner.x() << "," << owner.y();
}

// It opens within the screen, and resizes both ways: the table takes the
// difference, the controls keep their distance to the bottom, down to a
// height that fits a 768-line screen at 1.5 times.
TEST_F(MessageLogTest, OpensBesideWithinTheScreenAndResizesBothWays) {
    showLogAndTestFrame();
    ASSERT_NE(log(), nullptr);
    const QRect screen = log()->screen()->availableGeometry();
    const QRect main = window->frameGeometry();
    const QRect placed = log()->frameGeometry();
    EXPECT_TRUE(screen.contains(placed));
    // Side by side they overlap by no more than the screen is too narrow for both.
    const int overlap =
        std::min(main.right(), placed.right()) - std::max(main.left(), placed.left());
    EXPECT_EQ(std::max(0, overlap + 1),
              std::max(0, main.width() + placed.width() - screen.width()));
    EXPECT_LE(log()->minimumHeight() * 1.5, 768 - 100);  // room for a panel and a title bar

    auto* table = log()->findChild<QTableView*>("txtMsgLog");
    auto* clear = log()->findChild<QPushButton*>("cmdClear");
    const int clearFromBottom = log()->height() - clear->y();
    for (const QSize size : {log()->size() + QSize(300, 200), log()->minimumSize()}) {
        const QSize grown = size - log()->size();
        const QSize tableWas = table->size();
        log()->resize(size);
        EXPECT_EQ(table->size(), tableWas + grown);
        EXPECT_EQ(log()->height() - clear->y(), clearFromBottom);
    }
    const QList<QWidget*> parts = log()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (const QWidget* a : parts)
        for (const QWidget* b : parts)
            EXPECT_TRUE(a == b || !a->isVisible() || !b->isVisible() ||
                        !a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " overlaps " << b->objectName().toStdString();
}

}  // namespace
}  // namespace korvel::testing
