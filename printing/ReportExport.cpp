#include "printing/ReportExport.h"

#include "foundation/ui/QtText.h"
#include "printing/PagePainter.h"
#include "printing/WmfWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <functional>

namespace {

void SetError(QString* error, const QString& message)
{
    if (error)
        *error = message;
}

bool SaveBytes(const QString& path, const QByteArray& bytes, QString* error)
{
    return ReplaceFiles({{path, bytes}}, error);
}

QString RightTrimmed(const QString& text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1).isSpace())
        --n;
    return text.left(n);
}

// The cells of every detail line of every page, in order.
std::vector<const std::vector<QString>*> AllRows(const ReportDocument& doc)
{
    std::vector<const std::vector<QString>*> rows;
    for (const PageModel& page : doc.pages)
        for (const std::vector<QString>& row : page.rows)
            rows.push_back(&row);
    return rows;
}

QString Cell(const std::vector<QString>& row, std::size_t i)
{
    return i < row.size() ? row[i] : QString();
}

// ---- Text

QString PaddedLine(const ReportDocument& doc, const std::vector<int>& widths,
                   const std::function<QString(std::size_t)>& cell)
{
    QString line;
    for (std::size_t i = 0; i < doc.columns.size(); ++i) {
        if (i > 0)
            line += doc.columns[i].block != doc.columns[i - 1].block ? QStringLiteral("    ")
                                                                      : QStringLiteral("  ");
        line += cell(i).leftJustified(widths[i], QLatin1Char(' '));
    }
    return RightTrimmed(line);
}

// ---- CSV

QString CsvField(const QString& text)
{
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
                       || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString CsvRecord(const std::vector<QString>& fields)
{
    QString record;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            record += QLatin1Char(',');
        record += CsvField(fields[i]);
    }
    return record + QStringLiteral("\r\n");
}

// ---- RTF

// The text as RTF in Windows-1252: control characters of RTF escaped, bytes
// above 127 as \'hh.
QByteArray RtfText(const QString& text)
{
    static const char hex[] = "0123456789abcdef";
    QByteArray out;
    for (const char c : FromQt(text)) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}') {
            out.append('\\');
            out.append(c);
        } else if (c == '\n') {
            out.append("\\line ");
        } else if (c == '\t') {
            out.append("\\tab ");
        } else if (b < 0x20) {
            // other control characters do not print
        } else if (b > 0x7F) {
            out.append("\\'");
            out.append(hex[b >> 4]);
            out.append(hex[b & 0x0F]);
        } else {
            out.append(c);
        }
    }
    return out;
}

QByteArray RtfRow(const ReportDocument& doc, const std::function<QString(std::size_t)>& cell, bool header)
{
    constexpr int kTwipsPerPixel = 15;
    QByteArray row = "\\trowd\\trgaph60";
    for (const ReportColumn& c : doc.columns) {
        if (header)
            row += "\\clbrdrb\\brdrs\\brdrw15";
        row += "\\cellx" + QByteArray::number(int((c.left + c.width) * kTwipsPerPixel));
    }
    row += "\n";
    for (std::size_t i = 0; i < doc.columns.size(); ++i) {
        row += header ? "\\pard\\intbl\\qc\\b " : "\\pard\\intbl\\ql\\b0 ";
        row += RtfText(cell(i)) + "\\cell\n";
    }
    return row + "\\row\n";
}

// ---- Excel

// An Excel column width (characters of the default font) near `pixels`.
double ExcelWidth(double pixels)
{
    return std::max(1.0, pixels / 7.0);
}

// The library's error as a sentence the user can act on: its file errors
// carry the system's reason in errno, which its own text ("Zip generic error
// ZIP_ERRNO") hides.
QString WorkbookError(lxw_error result, int code)
{
    switch (result) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return SystemReason(ENOMEM);
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return code != 0 ? SystemReason(code) : QStringLiteral("The workbook could not be written.");
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
        return QStringLiteral("The workbook is too large.");
    default:
        return QString::fromUtf8(lxw_strerror(result));
    }
}

} // namespace

QByteArray TextExport(const ReportDocument& doc)
{
    std::vector<int> widths(doc.columns.size(), 0);
    for (std::size_t i = 0; i < doc.columns.size(); ++i)
        widths[i] = int(doc.columns[i].caption.size());
    for (const auto* row : AllRows(doc))
        for (std::size_t i = 0; i < widths.size(); ++i)
            widths[i] = std::max(widths[i], int(Cell(*row, i).size()));

    QString out;
    for (std::size_t p = 0; p < doc.pages.size(); ++p) {
        const PageModel& page = doc.pages[p];
        if (p > 0)
            out += QLatin1Char('\f');
        out += doc.title + QLatin1Char('\n');
        if (!doc.subtitle.isEmpty())
            out += doc.subtitle + QLatin1Char('\n');
        out += QLatin1Char('\n');
        out += PaddedLine(doc, widths, [&](std::size_t i) { return doc.columns[i].caption; }) + QLatin1Char('\n');
        out += PaddedLine(doc, widths, [&](std::size_t i) { return QString(widths[i], QLatin1Char('-')); })
               + QLatin1Char('\n');
        for (const std::vector<QString>& row : page.rows)
            out += PaddedLine(doc, widths, [&](std::size_t i) { return Cell(row, i); }) + QLatin1Char('\n');
        out += QLatin1Char('\n') + page.footer + QLatin1Char('\n');
    }
    return out.toUtf8();
}

QByteArray CsvExport(const ReportDocument& doc)
{
    std::vector<QString> header;
    for (const ReportColumn& c : doc.columns)
        header.push_back(c.caption);
    QString out = CsvRecord(header);
    for (const auto* row : AllRows(doc)) {
        std::vector<QString> fields(doc.columns.size());
        for (std::size_t i = 0; i < fields.size(); ++i)
            fields[i] = Cell(*row, i);
        out += CsvRecord(fields);
    }
    return out.toUtf8();
}

QByteArray HtmlExport(const ReportDocument& doc)
{
    QString out = QStringLiteral(
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n"
        "<style>\n"
        "body { font-family: Arial, sans-serif; }\n"
        "h1 { font-family: 'Times New Roman', serif; text-align: center; }\n"
        "h2 { font-size: 10pt; font-weight: normal; text-align: center; }\n"
        ".page { page-break-after: always; }\n"
        "table { border-collapse: collapse; }\n"
        "th { border-bottom: 1px solid black; }\n"
        "th, td { padding: 0 4px; white-space: pre; text-align: left; }\n"
        ".footer { text-align: center; }\n"
        "</style>\n</head>\n<body>\n")
                      .arg(doc.title.toHtmlEscaped());
    for (const PageModel& page : doc.pages) {
        out += QStringLiteral("<div class=\"page\">\n<h1>") + doc.title.toHtmlEscaped() + QStringLiteral("</h1>\n");
        if (!doc.subtitle.isEmpty())
            out += QStringLiteral("<h2>") + doc.subtitle.toHtmlEscaped() + QStringLiteral("</h2>\n");
        out += QStringLiteral("<table>\n<thead><tr>");
        for (const ReportColumn& c : doc.columns)
            out += QStringLiteral("<th>") + c.caption.toHtmlEscaped() + QStringLiteral("</th>");
        out += QStringLiteral("</tr></thead>\n<tbody>\n");
        for (const std::vector<QString>& row : page.rows) {
            out += QStringLiteral("<tr>");
            for (std::size_t i = 0; i < doc.columns.size(); ++i)
                out += QStringLiteral("<td>") + Cell(row, i).toHtmlEscaped() + QStringLiteral("</td>");
            out += QStringLiteral("</tr>\n");
        }
        out += QStringLiteral("</tbody>\n</table>\n<p class=\"footer\">") + page.footer.toHtmlEscaped()
               + QStringLiteral("</p>\n</div>\n");
    }
    out += QStringLiteral("</body>\n</html>\n");
    return out.toUtf8();
}

QByteArray RtfExport(const ReportDocument& doc)
{
    // A4 in twips; 10 mm margins.
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\n"
                     "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}}\n";
    out += doc.landscape ? "\\landscape\\paperw16838\\paperh11906" : "\\paperw11906\\paperh16838";
    out += "\\margl567\\margr567\\margt567\\margb567\n";
    const int fontSize = 20; // half points
    for (std::size_t p = 0; p < doc.pages.size(); ++p) {
        const PageModel& page = doc.pages[p];
        if (p > 0)
            out += "\\page\n";
        out += "\\pard\\qc\\f1\\fs48\\b " + RtfText(doc.title) + "\\par\n";
        if (!doc.subtitle.isEmpty())
            out += "\\pard\\qc\\f0\\fs20\\b0 " + RtfText(doc.subtitle) + "\\par\n";
        out += "\\pard\\f0\\fs" + QByteArray::number(fontSize) + "\\b0\\par\n";
        out += RtfRow(doc, [&](std::size_t i) { return doc.columns[i].caption; }, true);
        for (const std::vector<QString>& row : page.rows)
            out += RtfRow(doc, [&](std::size_t i) { return Cell(row, i); }, false);
        out += "\\pard\\qc\\f0\\fs20\\b0\\par " + RtfText(page.footer) + "\\par\n";
    }
    out += "}\n";
    return out;
}

bool WriteText(const ReportDocument& doc, const QString& path, QString* error)
{
    return SaveBytes(path, TextExport(doc), error);
}

bool WriteCsv(const ReportDocument& doc, const QString& path, QString* error)
{
    return SaveBytes(path, CsvExport(doc), error);
}

bool WriteHtml(const ReportDocument& doc, const QString& path, QString* error)
{
    return SaveBytes(path, HtmlExport(doc), error);
}

bool WriteRtf(const ReportDocument& doc, const QString& path, QString* error)
{
    return SaveBytes(path, RtfExport(doc), error);
}

bool WriteXlsx(const ReportDocument& doc, const QString& path, QString* error)
{
    // The library writes only to a file by name: let it write into a private
    // folder, then the workbook goes to the target like every other export.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        SetError(error, scratch.errorString());
        return false;
    }
    const QByteArray scratchDir = QFile::encodeName(scratch.path());
    const QString bookPath = scratch.filePath(QStringLiteral("book.xlsx"));
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(scratchDir.constData());
    errno = 0;
    lxw_workbook* workbook = workbook_new_opt(QFile::encodeName(bookPath).constData(), &options);
    if (workbook == nullptr) {
        SetError(error, SystemReason(errno != 0 ? errno : ENOMEM));
        return false;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    lxw_format* title = workbook_add_format(workbook);
    format_set_bold(title);
    format_set_font_size(title, 14);

    auto put = [&](lxw_row_t row, lxw_col_t col, const QString& text, lxw_format* format) {
        if (text.isEmpty())
            return;
        // A cell holds at most 32767 characters.
        const QByteArray utf8 = text.left(32767).toUtf8();
        worksheet_write_string(sheet, row, col, utf8.constData(), format);
    };
    lxw_row_t row = 0;
    put(row++, 0, doc.title, title);
    if (!doc.subtitle.isEmpty())
        put(row++, 0, doc.subtitle, nullptr);
    ++row;
    for (std::size_t i = 0; i < doc.columns.size(); ++i) {
        const auto col = lxw_col_t(i);
        worksheet_set_column(sheet, col, col, ExcelWidth(doc.columns[i].width), nullptr);
        put(row, col, doc.columns[i].caption, bold);
    }
    ++row;
    for (const auto* cells : AllRows(doc)) {
        for (std::size_t i = 0; i < doc.columns.size(); ++i)
            put(row, lxw_col_t(i), Cell(*cells, i), nullptr);
        ++row;
    }
    errno = 0;
    const lxw_error result = workbook_close(workbook);
    const int code = errno;
    if (result != LXW_NO_ERROR) {
        SetError(error, WorkbookError(result, code));
        return false;
    }
    QFile book(bookPath);
    if (!book.open(QIODevice::ReadOnly)) {
        SetError(error, book.errorString());
        return false;
    }
    return SaveBytes(path, book.readAll(), error);
}

QStringList WmfFileNames(const QString& path, int pageCount)
{
    QStringList names;
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    for (int n = 1; n <= pageCount; ++n) {
        if (n == 1)
            names << path;
        else
            names << stem + QLatin1Char('_') + QString::number(n)
                         + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    }
    return names;
}

bool WriteWmf(const ReportDocument& doc, const QString& path, QString* error)
{
    const QStringList names = WmfFileNames(path, int(doc.pages.size()));
    std::vector<FileBytes> files;
    files.reserve(doc.pages.size());
    for (std::size_t i = 0; i < doc.pages.size(); ++i)
        files.push_back({names[qsizetype(i)], WmfWriter::Page(doc.pages[i])});
    return ReplaceFiles(files, error);
}

const std::vector<ReportFilter>& ReportFilters()
{
    static const std::vector<ReportFilter> filters = {
        {QStringLiteral("PDF document"), QStringLiteral("pdf"), &WritePdf},
        {QStringLiteral("Text file"), QStringLiteral("txt"), &WriteText},
        {QStringLiteral("CSV file"), QStringLiteral("csv"), &WriteCsv},
        {QStringLiteral("HTML document"), QStringLiteral("html"), &WriteHtml},
        {QStringLiteral("RTF document"), QStringLiteral("rtf"), &WriteRtf},
        {QStringLiteral("Excel workbook"), QStringLiteral("xlsx"), &WriteXlsx},
        {QStringLiteral("Windows metafile"), QStringLiteral("wmf"), &WriteWmf},
    };
    return filters;
}

QStringList ReportFilterStrings()
{
    QStringList strings;
    for (const ReportFilter& filter : ReportFilters())
        strings << filter.QtFilter();
    return strings;
}
