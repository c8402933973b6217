// The message log as a diagnosis instrument: words and times beside the
// frames, a filter, a pause, a limit, and saving as text and JSON Lines.
#include "ui/message_log.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "link/frame.h"
#include "tests/ui/window_rig.h"

namespace korvel::testing {
namespace {

const QString dot = QString::fromUtf8(" \xC2\xB7 ");

QString cell(QAbstractItemModel* model, int row, int column) {
    return model->index(row, column).data().toString();
}

struct MessageLogTest : WindowTest {
    ui::MessageLogWindow* log() { return window->messageLog().existingWindow(); }
    QAbstractItemModel* view() { return log()->findChild<QTableView*>("txtMsgLog")->model(); }
    int rows() { return view()->rowCount(); }
};

TEST_F(MessageLogTest, WordsStandBesideEveryLineAfterAStatusRequestAndAKxSet) {
    registerDemo();
    showTab(0);
    type("txtHFI", "12");
    click("chkKXperm");
    click("cmdHFI(0)");
    showLogAndTestFrame();
    ASSERT_NE(log(), nullptr);
    QStringList words;
    for (int r = 0; r < rows(); ++r) words << cell(view(), r, ui::LogModel::WordsColumn);
    EXPECT_TRUE(words.contains("KX 0" + dot + "set HFI-level = 12 (permanent)"));
    EXPECT_EQ(cell(view(), 0, ui::LogModel::TextColumn),
              ">> 2A 01 02 53" + QString(15, ' ') + "  << 0C 01 02 19 01 57");
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d$")
                    .match(cell(view(), 0, ui::LogModel::TimeColumn))
                    .hasMatch());
    EXPECT_EQ(cell(view(), 0, ui::LogModel::DelayColumn), "5 ms");  // the simulator's answer time
    log()->resize(1180, log()->height());
    screenshot(log(), "message_log_words");

    auto* table = log()->findChild<QTableView*>("txtMsgLog");
    for (const char* box : {"chkColTime", "chkColDelay", "chkColWords"}) {
        QTest::mouseClick(log()->findChild<QCheckBox*>(box), Qt::LeftButton, {}, QPoint(5, 5));
        QApplication::processEvents();
    }
    EXPECT_TRUE(table->isColumnHidden(ui::LogModel::TimeColumn));
    EXPECT_TRUE(table->isColumnHidden(ui::LogModel::DelayColumn));
    EXPECT_TRUE(table->isColumnHidden(ui::LogModel::WordsColumn));
    EXPECT_FALSE(table->isColumnHidden(ui::LogModel::TextColumn));
}

TEST_F(MessageLogTest, TheFilterFindsAModuleAsAWholeNumber) {
    registerDemo();
    showLogAndTestFrame();
    QTest::keyClicks(log()->findChild<QLineEdit*>("txtFilter"), "kx 1");
    QStringList shownWords;
    for (int r = 0; r < rows(); ++r) shownWords << cell(view(), r, ui::LogModel::WordsColumn);
    EXPECT_EQ(shownWords, QStringList{"status KX 1" + dot + "Not Found"});
    EXPECT_TRUE(ui::LogFilter::matches("status KX 5.1", "KX 5"));
    EXPECT_FALSE(ui::LogFilter::matches("status KX 12", "KX 1"));
    EXPECT_TRUE(ui::LogFilter::matches(">> 2A 01 02 53", "01 02"));
    log()->findChild<QLineEdit*>("txtFilter")->clear();
    EXPECT_EQ(rows(), static_cast<int>(log()->model().lineCount()));
}

TEST_F(MessageLogTest, PauseHoldsTheViewWhileTheRecordGoesOn) {
    pickPort();
    click("cmdReset");
    showLogAndTestFrame();
    QTest::mouseClick(log()->findChild<QCheckBox*>("chkPause"), Qt::LeftButton, {}, QPoint(5, 5));
    click("cmdReset");
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(logText().count('\n'), 2);
    QTest::mouseClick(log()->findChild<QCheckBox*>("chkPause"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(rows(), 2);
}

// Past the limit the oldest lines go first, and the first row says how many went.
TEST(LogModel, KeepsItsLimitAndSaysHowManyLinesWent) {
    ui::LogModel model;
    model.setLimit(200);
    ExchangeRecord r;
    r.request = encodeRequest(Frame{1, 0}, true, false);
    r.answer = {8, 0xF8};
    for (int i = 0; i < 450; ++i) model.append(r, 0);
    EXPECT_LE(model.lineCount(), 200u);
    EXPECT_GE(model.lineCount(), 198u);
    EXPECT_EQ(model.dropped() + static_cast<long long>(model.lineCount()), 450);
    EXPECT_EQ(model.rowCount(), static_cast<int>(model.lineCount()) + 1);
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
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    ASSERT_EQ(log()->saveTo(path), "");
    QFile text(path);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QString saved = QString::fromUtf8(text.readAll());
    EXPECT_EQ(saved, QString(logText()).replace("\n", "\r\n"));

    // What a JSON line holds is the line's own affair; here, one per line of the window.
    QFile json(dir.filePath("log.jsonl"));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QStringList textLines = logText().split('\n', Qt::SkipEmptyParts);
    const QList<QByteArray> jsonLines = json.readAll().split('\n');
    ASSERT_EQ(jsonLines.size(), textLines.size() + 1);  // the last line end leaves an empty piece
    for (int i = 0; i < textLines.size(); ++i)
        EXPECT_EQ(QJsonDocument::fromJson(jsonLines[i])["text"].toString(), textLines[i]) << i;

    QCheckBox* detail = log()->findChild<QCheckBox*>("chkDetail");
    detail->setChecked(true);
    EXPECT_TRUE(log()->copyText().split('\n')[0].endsWith(
        "  << 0C 01 02 19 01 57" + QString(14, ' ') + "5 ms  protocol version 3.10 A" + dot +
        "system OK"));
    EXPECT_NE(log()->saveTo(dir.filePath("missing/log.txt")), "");
    EXPECT_TRUE(QFile::exists(path));
}

}  // namespace
}  // namespace korvel::testing
