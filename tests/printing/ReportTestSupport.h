#pragma once
// Lists to print and the outside readers the report tests check files with.
#include "printing/TFQrManLst.h"

#include <QProcess>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <memory>
#include <ostream>

// Readable failure messages for the texts of a report.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// A list like the channel list: caption "Canal n", a number, a padded name.
inline std::unique_ptr<QStandardItemModel> ChannelList(int rows)
{
    auto model = std::make_unique<QStandardItemModel>(rows, 3);
    model->setHorizontalHeaderLabels({QStringLiteral("Nombre"), QStringLiteral("Sid"), QStringLiteral("Satélite")});
    for (int r = 0; r < rows; ++r) {
        model->setItem(r, 0, new QStandardItem(QStringLiteral("Canal %1").arg(r + 1)));
        model->setItem(r, 1, new QStandardItem(QString::number(28000 + r)));
        model->setItem(r, 2, new QStandardItem(QStringLiteral("Astra 19.2E  ")));
    }
    return model;
}

inline ReportDocument Generated(const QAbstractItemModel* model, std::vector<int> codes, int blocks = 1,
                                int fontSize = 10)
{
    TFQrManLst report;
    ReportRequest request;
    request.model = model;
    request.codes = std::move(codes);
    request.title = QStringLiteral("Lista de canales");
    request.numColumns = blocks;
    request.fontSize = fontSize;
    report.BeginRep(request);
    return report.Generate();
}

// Runs an outside program; false when it is not installed or failed.
inline bool RunTool(const QString& program, const QStringList& args, QByteArray* out = nullptr)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return false;
    QProcess process;
    process.start(path, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return false;
    if (out)
        *out = process.readAllStandardOutput();
    return true;
}

inline bool HasTool(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// The system's Python, which has the Debian readers (python3-openpyxl).
inline QString Python()
{
    return QString::fromLatin1(HasTool(QStringLiteral("/usr/bin/python3")) ? "/usr/bin/python3" : "python3");
}
