// Every export read back by a real reader: Python's csv module and HTML
// parser, openpyxl for the workbook, unrtf for RTF. Each must give back the
// captions and every printed line of the report, text intact.
#include "ReportTestSupport.h"

#include "foundation/ui/QtText.h"
#include "printing/ReportExport.h"
#include "support/TempDir.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

using Table = std::vector<std::vector<QString>>;

const char* const kCsvReader = R"(
import csv, json, sys
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    print(json.dumps(list(csv.reader(f))))
)";

const char* const kHtmlReader = R"(
import json, sys
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
if sys.argv[1].endswith('.rtf'):
    import subprocess
    text = subprocess.run(['unrtf', '--html', sys.argv[1]], capture_output=True, check=True).stdout.decode()
else:
    text = open(sys.argv[1], encoding='utf-8').read()
p = Rows(); p.feed(text); print(json.dumps(p.rows))
)";

const char* const kXlsxReader = R"(
import json, sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).active
print(json.dumps([[c if c is not None else '' for c in row] for row in sheet.iter_rows(values_only=True)]))
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
    QString Path(const QString& name) const { return QString::fromStdString((dir / name.toStdString()).string()); }

    std::unique_ptr<QStandardItemModel> model;
    ReportDocument doc;
    TempDir dir;
};

TEST_F(ReportExportTest, TablesReadBackCellForCell)
{
    struct Case { ReportWriter write; const char* file; const char* reader; };
    const Case cases[] = {
        {&WriteCsv, "list.csv", kCsvReader},
        {&WriteHtml, "list.html", kHtmlReader},
        {&WriteXlsx, "list.xlsx", kXlsxReader},
        {&WriteRtf, "list.rtf", kHtmlReader}, // through unrtf --html
    };
    std::string unread;
    const std::size_t width = doc.columns.size();
    for (const Case& c : cases) {
        const QString path = Path(QString::fromLatin1(c.file));
        QString error;
        ASSERT_TRUE(c.write(doc, path, &error)) << c.file << ": " << error.toStdString();
        QByteArray json;
        if (!RunTool(Python(), {QStringLiteral("-c"), QString::fromLatin1(c.reader), path}, &json)) {
            unread += std::string(" ") + c.file;
            continue;
        }
        Table got = ParseJson(json);
        Table expected;
        for (const PageModel& page : doc.pages) {
            if (c.write == &WriteHtml)
                expected.push_back({QStringLiteral("h1:") + doc.title});
            if (c.write != &WriteXlsx && (c.write != &WriteCsv || expected.empty()))
                expected.push_back(Captions(doc));
            expected.insert(expected.end(), page.rows.begin(), page.rows.end());
            if (c.write == &WriteHtml)
                expected.push_back({QStringLiteral("p:") + page.footer});
        }
        if (c.write == &WriteXlsx) {
            expected.insert(expected.begin(), {{doc.title}, {}, Captions(doc)});
            for (auto& row : expected)
                row.resize(width);
        }
        if (c.write == &WriteRtf) {
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
        EXPECT_EQ(got, expected) << c.file;
    }
    if (!unread.empty())
        GTEST_SKIP() << "no reader (python3, python3-openpyxl, unrtf) for" << unread;
}

TEST_F(ReportExportTest, RtfAndTextKeepPagesAndCharacters)
{
    const QByteArray rtf = RtfExport(doc);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
    EXPECT_EQ(rtf.count("\\page\n"), 1);
    EXPECT_TRUE(rtf.contains("Se\\'f1al") && rtf.contains("\\{6\\} \\\\ ni\\'f1o")) << "escapes";

    const QStringList pages = QString::fromUtf8(TextExport(doc)).split(QLatin1Char('\f'));
    ASSERT_EQ(pages.size(), 2);
    for (int p = 0; p < 2; ++p) {
        EXPECT_TRUE(pages[p].trimmed().endsWith(doc.pages[std::size_t(p)].footer)) << p;
        EXPECT_EQ(pages[p].count(QLatin1Char('\n')), 6 + qsizetype(doc.pages[std::size_t(p)].rows.size())) << p;
    }
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Señal, \"dos\" <b>&€")));
}

TEST_F(ReportExportTest, WriteToAMissingFolderFailsWithAMessage)
{
    for (const ReportFilter& filter : ReportFilters()) {
        const QString missing = Path(QStringLiteral("no/such/folder/list.") + filter.extension);
        QString error;
        EXPECT_FALSE(filter.write(doc, missing, &error)) << filter.name.toStdString();
        EXPECT_FALSE(error.isEmpty()) << filter.name.toStdString();
        EXPECT_FALSE(QFile::exists(missing)) << filter.name.toStdString();
    }
}

} // namespace
