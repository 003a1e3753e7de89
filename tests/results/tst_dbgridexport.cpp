#include "results/dbgridexport.h"
#include "results/exportprogress.h"

#include "platform/ansicodec.h"
#include "platform/errors.h"

#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <zlib.h>

#include <functional>
#include <memory>

namespace {

QStringList filesIn(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

// A grid of step rows: Order, Setting (hidden) and Name, with separators and a non-ASCII
// character in the cells.
struct StepGrid
{
    QStandardItemModel model{0, 3};
    QTableView view;

    explicit StepGrid(int rows = 2)
    {
        model.setHorizontalHeaderLabels({"Order", "Setting", "Name"});
        const QStringList names = {"P;Q,R S\tT", QStringLiteral("3 µA")};
        for (int row = 0; row < rows; ++row) {
            model.appendRow({new QStandardItem(QString::number(row + 1)),
                             new QStandardItem("hidden"), new QStandardItem(names.value(row % 2))});
        }
        view.setModel(&model);
        view.setColumnHidden(1, true);
    }
};

// Calls the model's readers record what the operator would see at the last row of the walk.
class WatchedModel : public QStandardItemModel
{
public:
    struct Seen
    {
        bool windowShown = false;
        QSize windowSize;
        bool frameless = false;
        bool modal = true;
        QString label;
        QRect barGeometry;
        int barMaximum = -1;
        int barValue = -1;
        QRgb corner = 0;
        QRgb inside = 0;
    };
    mutable Seen seen;

    using QStandardItemModel::QStandardItemModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole && index.column() == 0 && index.row() == rowCount() - 1)
            look();
        return QStandardItemModel::data(index, role);
    }

    static ExportProgress* window()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<ExportProgress*>(widget))
                return progress;
        }
        return nullptr;
    }

private:
    void look() const
    {
        ExportProgress* progress = window();
        if (!progress)
            return;
        seen.windowShown = progress->isVisible();
        seen.windowSize = progress->size();
        seen.frameless = progress->windowFlags().testFlag(Qt::FramelessWindowHint);
        seen.modal = progress->isModal();
        if (const QLabel* label = progress->findChild<QLabel*>())
            seen.label = label->text();
        if (const QProgressBar* bar = progress->bar()) {
            seen.barGeometry = bar->geometry();
            seen.barMaximum = bar->maximum();
            seen.barValue = bar->value();
        }
        const QImage image = progress->grab().toImage();
        seen.corner = image.pixel(0, 0);
        seen.inside = image.pixel(150, 10);
    }
};

// The parts of a written .xlsx workbook the export is responsible for.
struct Workbook
{
    QMap<QString, QString> cells; // "B3" -> text
    QMap<QString, QString> cellTypes;
    QMap<int, QString> columnWidths; // 1-based column -> width attribute
    int rowCount = 0;
    QStringList sheetNames;
    QString title;
    bool hasTitle = false;
};

quint32 littleEndian(const QByteArray& bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

// An .xlsx is a zip: the central directory at the end lists each member's local header and
// sizes; members are stored or raw deflate.
QMap<QString, QByteArray> unzip(const QByteArray& zip)
{
    QMap<QString, QByteArray> members;
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0)
        return members;
    const quint32 count = littleEndian(zip, end + 10, 2);
    qsizetype entry = littleEndian(zip, end + 16, 4);
    for (quint32 i = 0; i < count; ++i) {
        if (littleEndian(zip, entry, 4) != 0x02014b50)
            break;
        const quint32 method = littleEndian(zip, entry + 10, 2);
        const quint32 packedSize = littleEndian(zip, entry + 20, 4);
        const quint32 size = littleEndian(zip, entry + 24, 4);
        const quint32 nameLength = littleEndian(zip, entry + 28, 2);
        const quint32 extraLength = littleEndian(zip, entry + 30, 2);
        const quint32 commentLength = littleEndian(zip, entry + 32, 2);
        const quint32 local = littleEndian(zip, entry + 42, 4);
        const QString name = QString::fromUtf8(zip.mid(entry + 46, nameLength));
        entry += 46 + nameLength + extraLength + commentLength;

        const qsizetype data =
            local + 30 + littleEndian(zip, local + 26, 2) + littleEndian(zip, local + 28, 2);
        const QByteArray packed = zip.mid(data, packedSize);
        if (method == 0) {
            members.insert(name, packed);
            continue;
        }
        QByteArray unpacked(qsizetype(size), '\0');
        z_stream stream = {};
        if (inflateInit2(&stream, -15) != Z_OK)
            continue;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
        stream.avail_in = uInt(packed.size());
        stream.next_out = reinterpret_cast<Bytef*>(unpacked.data());
        stream.avail_out = uInt(unpacked.size());
        const int result = inflate(&stream, Z_FINISH);
        inflateEnd(&stream);
        if (result == Z_STREAM_END)
            members.insert(name, unpacked);
    }
    return members;
}

// The text of every element called `name` inside the current element, concatenated.
QString textUntilEnd(QXmlStreamReader& xml, QStringView end, QStringView name)
{
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == end)
            break;
        if (xml.isStartElement() && xml.name() == name)
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    return text;
}

Workbook readWorkbook(const QString& path)
{
    Workbook book;
    const QMap<QString, QByteArray> members = unzip(contentsOf(path));

    QStringList shared;
    QXmlStreamReader strings(members.value("xl/sharedStrings.xml"));
    while (!strings.atEnd()) {
        if (strings.readNext() == QXmlStreamReader::StartElement && strings.name() == u"si")
            shared += textUntilEnd(strings, u"si", u"t");
    }

    QXmlStreamReader sheet(members.value("xl/worksheets/sheet1.xml"));
    while (!sheet.atEnd()) {
        sheet.readNext();
        if (!sheet.isStartElement())
            continue;
        if (sheet.name() == u"row") {
            ++book.rowCount;
        } else if (sheet.name() == u"col") {
            const auto attributes = sheet.attributes();
            for (int c = attributes.value("min").toInt(); c <= attributes.value("max").toInt(); ++c)
                book.columnWidths.insert(c, attributes.value("width").toString());
        } else if (sheet.name() == u"c") {
            const QString ref = sheet.attributes().value("r").toString();
            const QString type = sheet.attributes().value("t").toString();
            QString text;
            if (type == u"s")
                text = shared.value(textUntilEnd(sheet, u"c", u"v").toInt());
            else if (type == u"inlineStr")
                text = textUntilEnd(sheet, u"c", u"t");
            else
                text = textUntilEnd(sheet, u"c", u"v");
            book.cells.insert(ref, text);
            book.cellTypes.insert(ref, type);
        }
    }

    QXmlStreamReader workbook(members.value("xl/workbook.xml"));
    while (!workbook.atEnd()) {
        if (workbook.readNext() == QXmlStreamReader::StartElement && workbook.name() == u"sheet")
            book.sheetNames += workbook.attributes().value("name").toString();
    }

    QXmlStreamReader core(members.value("docProps/core.xml"));
    while (!core.atEnd()) {
        if (core.readNext() == QXmlStreamReader::StartElement && core.name() == u"title") {
            book.hasTitle = true;
            book.title = core.readElementText();
        }
    }
    return book;
}

} // namespace

class TestDBGridExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Ansi::setCodePage(QStringLiteral("windows-1252")); }

    void textLinesJoinVisibleCells_data()
    {
        QTest::addColumn<int>("mark");
        QTest::addColumn<QByteArray>("separator");
        QTest::newRow("tab") << int(csTab) << QByteArray("\t");
        QTest::newRow("semicolon") << int(csSemicolon) << QByteArray(";");
        QTest::newRow("comma") << int(csComma) << QByteArray(",");
        QTest::newRow("blank") << int(csBlank) << QByteArray(" ");
        QTest::newRow("bare carriage return") << int(csEnter) << QByteArray("\r");
    }

    // Cells go out unquoted, separators inside them included, in the code page's 8-bit form.
    void textLinesJoinVisibleCells()
    {
        QFETCH(int, mark);
        QFETCH(QByteArray, separator);
        QTemporaryDir dir;
        const QString path = dir.filePath("steps.txt");
        StepGrid grid;
        TDBGridExport exporter;
        exporter.Show_Progress = false;
        exporter.SetSpaceMark(TSpaceMark(mark));
        QCOMPARE(exporter.SpaceMark(), TSpaceMark(mark));
        exporter.chooseTextFile = [&] { return path; };

        QVERIFY(exporter.ExportToText(&grid.view, true));
        const QByteArray expected = "Order" + separator + "Name\r\n" +   //
                                    "1" + separator + "P;Q,R S\tT\r\n" + //
                                    "2" + separator +
                                    "3 \xB5"
                                    "A\r\n";
        QCOMPARE(contentsOf(path), expected);
        QCOMPARE(filesIn(dir), QStringList{"steps.txt"});
    }

    void textFollowsTheColumnsAsShown()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("steps.txt");
        StepGrid grid;
        grid.view.horizontalHeader()->moveSection(2, 0);
        TDBGridExport exporter;
        QCOMPARE(exporter.SpaceMark(), csTab);
        exporter.Show_Progress = false;
        exporter.chooseTextFile = [&] { return path; };

        QVERIFY(exporter.ExportToText(&grid.view, true));
        QCOMPARE(contentsOf(path), QByteArray("Name\tOrder\r\n"
                                              "P;Q,R S\tT\t1\r\n"
                                              "3 \xB5"
                                              "A\t2\r\n"));
    }

    void textOfEmptyShapes_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("hideAll");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("no rows: header only") << 0 << false << QByteArray("Order\tName\r\n");
        QTest::newRow("no visible column: empty lines") << 2 << true << QByteArray("\r\n\r\n\r\n");
    }

    void textOfEmptyShapes()
    {
        QFETCH(int, rows);
        QFETCH(bool, hideAll);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("steps.txt");
        StepGrid grid(rows);
        if (hideAll) {
            grid.view.setColumnHidden(0, true);
            grid.view.setColumnHidden(2, true);
        }
        TDBGridExport exporter;
        exporter.Show_Progress = false;
        exporter.chooseTextFile = [&] { return path; };

        QVERIFY(exporter.ExportToText(&grid.view, true));
        QCOMPARE(contentsOf(path), expected);
    }

    // The file name stays with the exporter; asking clears it, and a cancel writes nothing.
    void textFileChoice()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("steps.txt");
        StepGrid grid(1);
        TDBGridExport exporter;
        exporter.Show_Progress = false;
        int asked = 0;
        QString answer = path;
        exporter.chooseTextFile = [&] {
            ++asked;
            return answer;
        };

        QVERIFY(exporter.ExportToText(&grid.view, true));
        QCOMPARE(exporter.TxtFileName, path);
        grid.model.item(0, 0)->setText("7");
        QVERIFY(exporter.ExportToText(&grid.view, false));
        QCOMPARE(asked, 1);
        QCOMPARE(contentsOf(path), QByteArray("Order\tName\r\n7\tP;Q,R S\tT\r\n"));

        answer.clear();
        grid.model.item(0, 0)->setText("8");
        QVERIFY(!exporter.ExportToText(&grid.view, true));
        QCOMPARE(asked, 2);
        QVERIFY(exporter.TxtFileName.isEmpty());
        QCOMPARE(contentsOf(path), QByteArray("Order\tName\r\n7\tP;Q,R S\tT\r\n"));

        exporter.chooseWorkbookFile = [] { return QString(); };
        QVERIFY(!exporter.ExportToExcel(&grid.view));
        QCOMPARE(filesIn(dir), QStringList{"steps.txt"});
    }

    void missingGrid()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("steps.txt");
        TDBGridExport exporter;
        int asked = 0;
        exporter.chooseTextFile = [&] {
            ++asked;
            return path;
        };
        exporter.chooseWorkbookFile = [&] {
            ++asked;
            return dir.filePath("steps.xlsx");
        };

        QCOMPARE(errorOf([&] { exporter.ExportToText(nullptr, true); }),
                 QStringLiteral("Input DBGrid Name,Please"));
        QCOMPARE(asked, 1);
        QCOMPARE(errorOf([&] { exporter.ExportToExcel(nullptr); }),
                 QStringLiteral("Input DBGrid Name"));
        QCOMPARE(asked, 1);
        QVERIFY(filesIn(dir).isEmpty());

        exporter.chooseTextFile = [] { return QString(); };
        QVERIFY(!exporter.ExportToText(nullptr, true));
    }

    // A name too long for the aside file stops the write even for root; a cell longer than a
    // sheet cell may hold stops the workbook half-way.
    void failedExportKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("workbook");
        QTest::addColumn<bool>("longName");
        QTest::newRow("text file, no room for the aside name") << false << true;
        QTest::newRow("workbook, no room for the aside name") << true << true;
        QTest::newRow("workbook, cell too long") << true << false;
    }

    void failedExportKeepsTheOldFile()
    {
        QFETCH(bool, workbook);
        QFETCH(bool, longName);
        QTemporaryDir dir;
        const QString name = longName ? QString(250, u'x') : QStringLiteral("steps.xlsx");
        const QString path = dir.filePath(name);
        writeTestFile(path, "old");
        StepGrid grid;
        if (!longName)
            grid.model.item(1, 2)->setText(QString(40000, u'a'));
        TDBGridExport exporter;
        exporter.Show_Progress = false;
        exporter.chooseTextFile = [&] { return path; };
        exporter.chooseWorkbookFile = [&] { return path; };
        bool opened = false;
        exporter.openWorkbook = [&](const QString&) { opened = true; };

        const QString message = errorOf([&] {
            if (workbook)
                exporter.ExportToExcel(&grid.view);
            else
                exporter.ExportToText(&grid.view, true);
        });
        QVERIFY2(message.contains(u'"' + path + u'"'), qPrintable(message));
        QCOMPARE(contentsOf(path), QByteArray("old"));
        QCOMPARE(filesIn(dir), QStringList{name});
        QVERIFY(!opened);
    }

    // Row 1 the titles, rows from 2 the cells, every one a text cell; widths are pixels / 6
    // rounded down, which the file stores as n + 5/7 rounded down to 1/256 (n = 10: 10.7109375).
    void workbookHoldsTheGridAsText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("steps.xlsx");
        StepGrid grid;
        grid.view.setColumnWidth(0, 64);
        grid.view.setColumnWidth(1, 300);
        grid.view.setColumnWidth(2, 65);
        grid.model.setHorizontalHeaderItem(3, new QStandardItem("Delay"));
        grid.model.setItem(0, 3, new QStandardItem("0.5"));
        grid.view.setColumnWidth(3, 100);
        TDBGridExport exporter;
        exporter.Show_Progress = false;
        exporter.Title = QStringLiteral("GoNG µ steps");
        exporter.SheetName = QStringLiteral("Steps");
        exporter.chooseWorkbookFile = [&] { return path; };
        QStringList opened;
        exporter.openWorkbook = [&](const QString& file) { opened += file; };

        QVERIFY(exporter.ExportToExcel(&grid.view));
        QCOMPARE(opened, QStringList{path});
        QCOMPARE(filesIn(dir), QStringList{"steps.xlsx"});
        const Workbook book = readWorkbook(path);
        const QMap<QString, QString> cells = {
            {"A1", "Order"},      {"B1", "Name"}, {"C1", "Delay"}, {"A2", "1"},
            {"B2", "P;Q,R S\tT"}, {"C2", "0.5"},  {"A3", "2"},     {"B3", QStringLiteral("3 µA")},
        };
        QCOMPARE(book.cells, cells);
        for (const QString& type : book.cellTypes)
            QVERIFY2(type == u"inlineStr" || type == u"s", qPrintable(type));
        QCOMPARE(book.rowCount, 3);
        const QMap<int, QString> widths = {{1, "10.7109375"}, {2, "10.7109375"}, {3, "16.7109375"}};
        QCOMPARE(book.columnWidths, widths);
        QCOMPARE(book.sheetNames, QStringList{"Steps"});
        QVERIFY(book.hasTitle);
        QCOMPARE(book.title, QStringLiteral("GoNG µ steps"));
    }

    void workbookOfAnEmptyGridWithDefaults()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("steps.xlsx");
        writeTestFile(path, "old");
        StepGrid grid(0);
        TDBGridExport exporter;
        exporter.Show_Progress = false;
        exporter.chooseWorkbookFile = [&] { return path; };
        exporter.openWorkbook = [](const QString&) {};

        QVERIFY(exporter.ExportToExcel(&grid.view));
        const Workbook book = readWorkbook(path);
        const QMap<QString, QString> cells = {{"A1", "Order"}, {"B1", "Name"}};
        QCOMPARE(book.cells, cells);
        QCOMPARE(book.rowCount, 1);
        QCOMPARE(book.sheetNames, QStringList{"Sheet1"});
        QVERIFY(!book.hasTitle);
    }

    void sheetNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("31 characters") << QString(31, u'n') << true;
        QTest::newRow("inner apostrophe") << QStringLiteral("it's") << true;
        QTest::newRow("inner blanks") << QStringLiteral(" GoNG 1 ") << true;
        QTest::newRow("not Latin") << QStringLiteral("Ergebnisse µ") << true;
        QTest::newRow("32 characters") << QString(32, u'n') << false;
        for (const QChar c : QStringLiteral("[]:*?/\\"))
            QTest::addRow("with %c", c.toLatin1()) << QStringLiteral("a%1b").arg(c) << false;
        QTest::newRow("leading apostrophe") << QStringLiteral("'ab") << false;
        QTest::newRow("trailing apostrophe") << QStringLiteral("ab'") << false;
        QTest::newRow("blank") << QStringLiteral("   ") << false;
        QTest::newRow("reserved") << QStringLiteral("History") << false;
        QTest::newRow("reserved, other case") << QStringLiteral("hiSTory") << false;
    }

    // A refused name is reported before the operator chooses a file.
    void sheetNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QTemporaryDir dir;
        const QString path = dir.filePath("steps.xlsx");
        StepGrid grid(1);
        TDBGridExport exporter;
        exporter.Show_Progress = false;
        exporter.SheetName = name;
        int asked = 0;
        exporter.chooseWorkbookFile = [&] {
            ++asked;
            return path;
        };
        exporter.openWorkbook = [](const QString&) {};

        const QString message = errorOf([&] { QVERIFY(exporter.ExportToExcel(&grid.view)); });
        if (valid) {
            QVERIFY2(message.isEmpty(), qPrintable(message));
            QCOMPARE(readWorkbook(path).sheetNames, QStringList{name});
        } else {
            QCOMPARE(message, QStringLiteral("WorkSheet Name Error!"));
            QCOMPARE(asked, 0);
            QVERIFY(filesIn(dir).isEmpty());
        }
    }

    void progressWindow_data()
    {
        QTest::addColumn<bool>("workbook");
        QTest::addColumn<bool>("show");
        QTest::addColumn<int>("lastPosition");
        // The text bar counts rows from 0; the sheet bar counts sheet rows from 2 and is held at
        // its maximum on the last row.
        QTest::newRow("text") << false << true << 599;
        QTest::newRow("workbook") << true << true << 600;
        QTest::newRow("text, not shown") << false << false << -1;
        QTest::newRow("workbook, not shown") << true << false << -1;
    }

    void progressWindow()
    {
        QFETCH(bool, workbook);
        QFETCH(bool, show);
        QFETCH(int, lastPosition);
        QTemporaryDir dir;
        WatchedModel model(600, 1);
        model.setHorizontalHeaderLabels({"Order"});
        for (int row = 0; row < 600; ++row)
            model.setItem(row, 0, new QStandardItem(QString::number(row)));
        QTableView view;
        view.setModel(&model);
        TDBGridExport exporter;
        exporter.Show_Progress = show;
        exporter.chooseTextFile = [&] { return dir.filePath("steps.txt"); };
        exporter.chooseWorkbookFile = [&] { return dir.filePath("steps.xlsx"); };
        bool windowAtOpening = true;
        exporter.openWorkbook = [&](const QString&) {
            windowAtOpening = WatchedModel::window() != nullptr;
        };

        QVERIFY(workbook ? exporter.ExportToExcel(&view) : exporter.ExportToText(&view, true));
        QVERIFY(!WatchedModel::window());
        if (workbook)
            QVERIFY(!windowAtOpening);
        const WatchedModel::Seen& seen = model.seen;
        QCOMPARE(seen.windowShown, show);
        if (!show)
            return;
        QCOMPARE(seen.windowSize, QSize(300, 100));
        QVERIFY(seen.frameless);
        QVERIFY(!seen.modal);
        QCOMPARE(seen.label, QStringLiteral("Exporting Data,Please Wait..."));
        QCOMPARE(seen.barGeometry, QRect(20, 50, 260, 18));
        QCOMPARE(seen.barMaximum, 600);
        QCOMPARE(seen.barValue, lastPosition);
        QCOMPARE(QColor(seen.corner), QColor(0, 0, 255));
        QVERIFY(QColor(seen.inside) != QColor(0, 0, 255));
    }
};

QTEST_MAIN(TestDBGridExport)
#include "tst_dbgridexport.moc"
