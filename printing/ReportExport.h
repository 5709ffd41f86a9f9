#pragma once
// Saving a generated report: the report's own file (PDF) and the export
// filters, in the order the save dialog offers them. Every writer makes the
// whole file in memory and hands it to ReplaceFiles, so a failed save (a
// full disk, a folder in the way) returns false, leaves every earlier file
// as it was and puts the system's reason in *error (when given).
//
// What each export holds, from the pages of the ReportDocument:
//   text  UTF-8; per page the title, the subtitle, the column captions and
//         the detail lines in columns padded with blanks, then "Página n";
//         pages separated by a form feed (\f).
//   CSV   UTF-8, separator ",", RFC 4180 quoting, CR LF line ends; one header
//         record (the captions of every printed column of every block), then
//         one record per printed detail line of every page, cells left to right.
//   HTML  UTF-8, every text escaped; per page the title, subtitle, a table
//         with the captions and the detail lines, and "Página n".
//   RTF   \ansicpg1252, \'hh escapes for the bytes above 127; per page the
//         title, subtitle, a table and "Página n"; \page between pages.
//   Excel .xlsx, one sheet: title, subtitle, the captions (bold) and every
//         detail line; column widths from the report's.
//   WMF   one placeable Windows metafile per page, drawn like the page
//         (texts, lines, icons): page 1 under the chosen name, page n >= 2
//         under the name with "_n" before the extension ("List.wmf",
//         "List_2.wmf", ...). The pages are one set: either every page file
//         is replaced or none is.
#include "printing/PageModel.h"
#include "foundation/ui/ReplaceFiles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

using ReportWriter = bool (*)(const ReportDocument& doc, const QString& path, QString* error);

struct ReportFilter {
    QString name;       // "PDF document", "Text file", ...
    QString extension;  // without the dot: "pdf", "txt", "csv", "html", "rtf", "xlsx", "wmf"
    ReportWriter write;
    // The Qt file-dialog filter: "PDF document (*.pdf)".
    QString QtFilter() const { return name + QStringLiteral(" (*.") + extension + QStringLiteral(")"); }
};

// PDF first (the report's own file), then text, CSV, HTML, RTF, Excel, WMF.
const std::vector<ReportFilter>& ReportFilters();
// The Qt filters of ReportFilters(), in the same order, for the save dialog.
QStringList ReportFilterStrings();

bool WriteText(const ReportDocument& doc, const QString& path, QString* error = nullptr);
bool WriteCsv(const ReportDocument& doc, const QString& path, QString* error = nullptr);
bool WriteHtml(const ReportDocument& doc, const QString& path, QString* error = nullptr);
bool WriteRtf(const ReportDocument& doc, const QString& path, QString* error = nullptr);
bool WriteXlsx(const ReportDocument& doc, const QString& path, QString* error = nullptr);
bool WriteWmf(const ReportDocument& doc, const QString& path, QString* error = nullptr);

// The bytes of the text-like exports, as the writers above store them.
QByteArray TextExport(const ReportDocument& doc);
QByteArray CsvExport(const ReportDocument& doc);
QByteArray HtmlExport(const ReportDocument& doc);
QByteArray RtfExport(const ReportDocument& doc);

// The files WriteWmf writes for `pageCount` pages under `path`.
QStringList WmfFileNames(const QString& path, int pageCount);
