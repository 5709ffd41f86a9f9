#include "windows/lists/ChannelListModel.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"

#include <QPainter>
#include <QPixmap>

namespace {

QPixmap DrawTv()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(70, 70, 70));
    p.drawRoundedRect(QRectF(0.5, 1.5, 15, 11), 2, 2); // cabinet
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 160, 230));
    p.drawRect(QRectF(2, 3, 12, 8)); // screen
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(6, 13, 4, 1)); // neck
    p.drawRect(QRectF(3, 14, 10, 2)); // foot
    return pixmap;
}

QPixmap DrawRadio()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.drawLine(QPointF(4, 5), QPointF(12, 0.5)); // aerial
    p.setBrush(QColor(170, 90, 40));
    p.drawRoundedRect(QRectF(0.5, 5.5, 15, 10), 2, 2); // case
    p.setBrush(QColor(60, 30, 10));
    p.drawEllipse(QPointF(5, 10.5), 3, 3); // loudspeaker
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 220, 150));
    p.drawRect(QRectF(9.5, 8, 4.5, 2)); // dial
    p.drawRect(QRectF(9.5, 11.5, 4.5, 2));
    return pixmap;
}

QString Text(const std::string& cp1252) { return ToQt(cp1252); }

// By field: name, number, satellite, transponder, service, video, audio, PCR, teletext, scrambled.
constexpr int kCaption[] = {201, 221, 202, 203, 204, 205, 206, 207, 208, 209};
constexpr int kWidth[] = {120, 40, 90, 80, 50, 40, 40, 40, 60, 65};

} // namespace

QIcon ChannelIcon(bool radio)
{
    static const QIcon tv(DrawTv());
    static const QIcon radioIcon(DrawRadio());
    return radio ? radioIcon : tv;
}

std::string TransponderText(const TTransponderRec& transponder)
{
    std::string text = std::to_string(transponder.Frequency);
    char polar = transponder.Polar;
    if (polar >= 'a' && polar <= 'z')
        polar = static_cast<char>(polar - ('a' - 'A'));
    if (polar != '\0')
        text += polar;
    return text;
}

std::string ChannelNumberCell(const TChannelRec& channel, int which)
{
    switch (which) {
    case 0: return std::to_string(channel.ServiceId);
    case 1: return std::to_string(channel.VideoPid);
    case 2: return std::to_string(channel.AudioPid);
    case 3: return std::to_string(channel.PcrPid);
    case 4: return std::to_string(channel.TxtPid);
    case 5: return YesNoText(channel.Scramble != 0);
    default: return {};
    }
}

QStringList SateliteNames(const TVexaData& data)
{
    QStringList names;
    for (int i = 0; i < data.Satelites.Count(); ++i)
        names << Text(data.Satelites.Get(i)->Name.str());
    names << Text(data.Satelites.Resolve({}).Name.str());
    return names;
}

std::vector<QStringList> ChannelColumnSamples(QStringList names, QStringList satelites)
{
    const QStringList number = DigitSamples(5); // every id and PID is a 16-bit number
    return {std::move(names),
            std::move(satelites),
            DigitSamples(5, QStringLiteral("H")) + DigitSamples(5, QStringLiteral("V")),
            number,
            number,
            number,
            number,
            number,
            {Text(YesNoText(true)), Text(YesNoText(false))}};
}

ChannelListModel::ChannelListModel(QObject* parent)
    : RecordListModel(parent)
{
    Rebuild(nullptr, {});
}

void ChannelListModel::Rebuild(TVexaData* data, std::function<std::string(int)> numberText)
{
    beginResetModel();
    Data = data;
    NumberText = std::move(numberText);
    for (int f = 0; f < FieldCount; ++f)
        Captions[f] = Text(LangText(kCaption[f]));
    endResetModel();
}

void ChannelListModel::SetNumbering(std::function<std::string(int)> numberText)
{
    const bool was = Numbered();
    const bool will = static_cast<bool>(numberText);
    if (!was && will) {
        beginInsertColumns({}, Number, Number);
        NumberText = std::move(numberText);
        endInsertColumns();
    } else if (was && !will) {
        beginRemoveColumns({}, Number, Number);
        NumberText = {};
        endRemoveColumns();
    } else {
        NumberText = std::move(numberText);
        if (will && rowCount() > 0)
            emit dataChanged(index(0, Number), index(rowCount() - 1, Number), {Qt::DisplayRole});
    }
}

void ChannelListModel::RecordsReordered()
{
    if (Renumber)
        Renumber();
}

std::vector<ColumnFit> ChannelListModel::ColumnFits() const
{
    QStringList names;
    for (int i = 0; i < rowCount(); ++i)
        names << Text(Data->Channels.Get(i)->Name.str());
    const std::vector<QStringList> samples = ChannelColumnSamples(std::move(names),
                                                                  Data ? SateliteNames(*Data) : QStringList());
    std::vector<ColumnFit> fits;
    for (int c = 0; c < columnCount(); ++c) {
        const Field field = FieldOf(c);
        ColumnFit fit{kCaption[field], kWidth[field]};
        fit.Decorated = field == Name;
        // "-" or the highest row number.
        fit.Samples = field == Number ? DigitSamples(static_cast<int>(std::to_string(rowCount()).size()))
                                      : samples[static_cast<size_t>(field == Name ? 0 : field - 1)];
        fits.push_back(std::move(fit));
    }
    return fits;
}

ChannelListModel::Field ChannelListModel::FieldOf(int column) const
{
    if (column == 0 || Numbered())
        return static_cast<Field>(column);
    return static_cast<Field>(column + 1);
}

int ChannelListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !Data ? 0 : Data->Channels.Count();
}

int ChannelListModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return Numbered() ? FieldCount : FieldCount - 1;
}

QVariant ChannelListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const TChannelRec* channel = Data->Channels.Get(index.row());
    if (!channel)
        return {};
    const Field field = FieldOf(index.column());
    switch (role) {
    case Qt::DisplayRole:
        switch (field) {
        case Name: return Text(channel->Name.str());
        case Number: return Text(NumberText(index.row()));
        // A reference to a deleted record reads as the list's default record.
        case Satelite: return Text(Data->Satelites.Resolve(channel->Satelite).Name.str());
        case Transponder: return Text(TransponderText(Data->Transponders.Resolve(channel->Transponder)));
        default: return Text(ChannelNumberCell(*channel, field - Service));
        }
    case Qt::DecorationRole:
        if (field == Name)
            return ChannelIcon(channel->Radio != 0);
        return {};
    case Qt::TextAlignmentRole:
        if (field == Number)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant ChannelListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const Field field = FieldOf(section);
    if (role == Qt::DisplayRole)
        return Captions[field];
    if (role == Qt::TextAlignmentRole && field == Number)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}
