// Every export read back by a real reader: Python's csv module and HTML
// parser, openpyxl for the workbook, unrtf for RTF. Each must give back the
// captions and every printed line of the report, text intact.
#include "ReportTestSupport.h"

#include "printing/WmfWriter.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace {

using Table = std::vector<std::vector<QString>>;

// Prints the rows of the table file named in argv[1] as JSON; the paragraphs
// of HTML (and of RTF, through unrtf --html) as rows of one "tag:text" cell.
const char* const kReader = R"(
import csv, json, subprocess, sys
from html.parser import HTMLParser
class Rows(HTMLParser):
    def __init__(self):
        super().__init__(); self.rows = []; self.cell = None
    def handle_starttag(self, tag, attrs):
        if tag == 'tr': self.rows.append([])
        if tag in ('td', 'th', 'h1', 'h2', 'p'): self.cell = ''
    def handle_endtag(self, tag):
        if self.cell is None: return
        if tag in ('td', 'th'): self.rows[-1].append(self.cell); self.cell = None
        if tag in ('h1', 'h2', 'p'): self.rows.append([tag + ':' + self.cell]); self.cell = None
    def handle_data(self, data):
        if self.cell is not None: self.cell += data
path = sys.argv[1]
if path.endswith('.csv'):
    rows = list(csv.reader(open(path, newline='', encoding='utf-8')))
elif path.endswith('.xlsx'):
    import openpyxl
    sheet = openpyxl.load_workbook(path).active
    rows = [[c if c is not None else '' for c in r] for r in sheet.iter_rows(values_only=True)]
else:
    p = Rows()
    p.feed(subprocess.run(['unrtf', '--html', path], capture_output=True, check=True).stdout.decode()
           if path.endswith('.rtf') else open(path, encoding='utf-8').read())
    rows = p.rows
print(json.dumps(rows))
)";

Table ParseJson(const QByteArray& json)
{
    Table table;
    for (const QJsonValue& row : QJsonDocument::fromJson(json).array()) {
        table.emplace_back();
        for (const QJsonValue& cell : row.toArray())
            table.back().push_back(cell.toString());
    }
    return table;
}

std::vector<QString> Captions(const ReportDocument& doc)
{
    std::vector<QString> captions;
    for (const ReportColumn& c : doc.columns)
        captions.push_back(c.caption);
    return captions;
}

class ReportExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        model = ChannelList(199); // 100 lines at 7 points in 2 blocks: 81 on page 1, the last half blank
        model->item(4, 2)->setText(QStringLiteral("Señal, \"dos\" <b>&€"));
        model->item(5, 0)->setText(QStringLiteral("  Canal {6} \\ niño"));
        doc = Generated(model.get(), {5000, 0, 1, 2}, 2, 7);
        ASSERT_EQ(doc.pages.size(), 2u);
    }

    std::unique_ptr<QStandardItemModel> model;
    ReportDocument doc;
    TempDir dir;
};

TEST_F(ReportExportTest, TablesReadBackCellForCell)
{
    const std::pair<ReportWriter, const char*> cases[] = {
        {&WriteCsv, "list.csv"}, {&WriteHtml, "list.html"}, {&WriteXlsx, "list.xlsx"}, {&WriteRtf, "list.rtf"}};
    std::string unread;
    const std::size_t width = doc.columns.size();
    // The system's Python has the Debian readers (python3-openpyxl).
    const QString python = HasTool("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    for (const auto& [write, file] : cases) {
        const QString path = PathIn(dir, file);
        QString error;
        ASSERT_TRUE(write(doc, path, &error)) << file << ": " << error.toStdString();
        QByteArray json;
        if (!RunTool(python, {QStringLiteral("-c"), QString::fromLatin1(kReader), path}, &json)) {
            unread += std::string(" ") + file;
            continue;
        }
        Table got = ParseJson(json);
        Table expected;
        for (const PageModel& page : doc.pages) {
            if (write == &WriteHtml)
                expected.push_back({QStringLiteral("h1:") + doc.title});
            if (write != &WriteXlsx && (write != &WriteCsv || expected.empty()))
                expected.push_back(Captions(doc));
            expected.insert(expected.end(), page.rows.begin(), page.rows.end());
            if (write == &WriteHtml)
                expected.push_back({QStringLiteral("p:") + page.footer});
        }
        if (write == &WriteXlsx) {
            expected.insert(expected.begin(), {{doc.title}, {}, Captions(doc)});
            for (auto& row : expected)
                row.resize(width);
        }
        if (write == &WriteRtf) {
            // unrtf folds runs of blanks, takes the paragraphs between two
            // tables for a row of one cell, and puts the title in front of
            // the next table's first cell.
            std::erase_if(got, [&](const auto& row) { return row.size() != width; });
            for (Table* table : {&got, &expected})
                for (auto& row : *table)
                    for (QString& cell : row)
                        cell = cell.simplified();
            for (auto& row : got)
                if (row.front().endsWith(QLatin1Char(' ') + expected.front().front()))
                    row.front() = expected.front().front();
        }
        EXPECT_EQ(got, expected) << file;
    }
    if (!unread.empty())
        GTEST_SKIP() << "no reader (python3, python3-openpyxl, unrtf) for" << unread;
}

// unrtf above reads the RTF escapes back; the plain text has no reader.
TEST_F(ReportExportTest, TextKeepsPagesAndCharacters)
{
    const QStringList pages = QString::fromUtf8(TextExport(doc)).split(QLatin1Char('\f'));
    ASSERT_EQ(pages.size(), 2);
    for (int p = 0; p < 2; ++p) {
        EXPECT_TRUE(pages[p].trimmed().endsWith(doc.pages[std::size_t(p)].footer)) << p;
        EXPECT_EQ(pages[p].count(QLatin1Char('\n')), 6 + qsizetype(doc.pages[std::size_t(p)].rows.size())) << p;
    }
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Señal, \"dos\" <b>&€")));
}

// A save that fails (no such folder, the disk full part way, a folder where a
// page file goes, Excel's scratch space full) says why and leaves every
// earlier file as it was, with nothing new beside it. The full disk is 1 MiB
// of tmpfs in a private mount namespace, which needs root.
TEST_F(ReportExportTest, AFailedSaveSaysWhyAndKeepsTheEarlierFiles)
{
    auto list = ChannelList(200);
    const ReportDocument fourPages = Generated(list.get(), {5000, 0, 1, 2});
    const qint64 page = WmfWriter::Page(fourPages.pages[0]).size();
    const QString disk = PathIn(dir, "disk");
    QDir().mkpath(disk);
    const bool mounted = ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
                         && ::mount("none", disk.toLocal8Bit(), "tmpfs", 0, "size=1m") == 0;
    enum Where { Missing, Full, Folder, Scratch };
    struct Case { QString extension; Where where; qint64 room; QString error; };
    std::vector<Case> cases = {{"wmf", Full, 2 * page + page / 2, "list_3.wmf: No space left on device"},
                               {"wmf", Folder, 0, "list_3.wmf: Is a directory"},
                               {"xlsx", Scratch, 4096, "No space left on device"}};
    for (const ReportFilter& filter : ReportFilters()) {
        cases.push_back({filter.extension, Missing, 0, "No such file or directory"});
        cases.push_back({filter.extension, Full, 4096, "No space left on device"});
    }
    int skipped = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension.toStdString() + " " + std::to_string(c.where) + " " + std::to_string(c.room));
        const bool onDisk = c.where == Full || c.where == Scratch;
        if (onDisk && !mounted && ++skipped)
            continue;
        const QString folder = c.where == Missing ? PathIn(dir, "no/such") : c.where == Full ? disk : PathIn(dir, "x");
        QDir(folder).removeRecursively();
        if (c.where != Missing)
            QDir().mkpath(folder);
        const QStringList names = WmfFileNames(folder + "/list." + c.extension, c.extension == "wmf" ? 4 : 1);
        for (const QString& name : names)
            WriteFileBytes(name.toStdString(), name.toStdString());
        if (c.where == Folder && QFile::remove(names[2]))
            QDir().mkpath(names[2]);
        const auto entries = [&] { return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); };
        const QStringList before = entries();
        struct statvfs fs {};
        if (onDisk && ::statvfs(disk.toLocal8Bit(), &fs) == 0)
            WriteFileBytes((dir / "disk/fill"), std::string(std::size_t(qint64(fs.f_bavail * fs.f_frsize) - c.room), 'x'));
        if (c.where == Scratch)
            qputenv("TMPDIR", disk.toLocal8Bit());
        QString error;
        const auto filter = std::find_if(ReportFilters().begin(), ReportFilters().end(),
                                         [&](const ReportFilter& f) { return f.extension == c.extension; });
        EXPECT_FALSE(filter->write(fourPages, names[0], &error));
        qunsetenv("TMPDIR");
        QFile::remove(disk + "/fill");
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(entries(), before);
        for (const QString& name : names)
            EXPECT_TRUE(!QFileInfo(name).isFile() || ReadFileBytes(name.toStdString()) == name.toStdString()) << name.toStdString();
    }
    if (mounted)
        ::umount2(disk.toLocal8Bit(), MNT_DETACH);
    if (skipped > 0)
        GTEST_SKIP() << skipped << " full-disk cases need root to mount a small tmpfs";
}

} // namespace
