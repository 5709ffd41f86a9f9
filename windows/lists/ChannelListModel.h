#pragma once
// The channel list as the main list view shows it: row i is channel record i
// of the working set, each cell built from the record when the view asks.
// Also the cell texts and row pictures that the channel picker shares.
#include "windows/lists/RecordListModel.h"

#include <QIcon>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class TVexaData;
struct TTransponderRec;
struct TChannelRec;

// Row pictures: a television set, or a radio for a radio channel.
QIcon ChannelIcon(bool radio);

// "11778V": the frequency in MHz with the polarisation letter upper-cased.
std::string TransponderText(const TTransponderRec& transponder);

// The cell of the picture-less columns that the channel list and the picker
// share: 0 service id, 1 video, 2 audio, 3 PCR, 4 teletext PID, 5 scrambled.
std::string ChannelNumberCell(const TChannelRec& channel, int which);

// The names of data's satellites, and of the one a lost reference reads as.
QStringList SateliteNames(const TVexaData& data);

// The widest texts of the channel columns that the channel list, the picker
// and the favourites organiser share, in their order: name, satellite,
// transponder, service id, the four PIDs, scrambled. names and satelites
// are the names the list may show.
std::vector<QStringList> ChannelColumnSamples(QStringList names, QStringList satelites);

class ChannelListModel : public RecordListModel {
    Q_OBJECT
public:
    explicit ChannelListModel(QObject* parent = nullptr);

    // Shows the channels of data (not owned), with the column captions
    // fetched anew; everything the view showed before is dropped. While
    // numberText is set, a right-aligned number column follows the name and
    // shows numberText(row).
    void Rebuild(TVexaData* data, std::function<std::string(int)> numberText);
    // Adds, removes or refreshes the number column in place, so the rows and
    // their selection stay as they are.
    void SetNumbering(std::function<std::string(int)> numberText);
    bool Numbered() const { return static_cast<bool>(NumberText); }
    // Runs after every reorder of the records, before the views repaint:
    // numbers that depend on the order are recounted there.
    void SetRenumber(std::function<void()> renumber) { Renumber = std::move(renumber); }
    std::vector<ColumnFit> ColumnFits() const override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    void RecordsReordered() override;

private:
    enum Field { Name, Number, Satelite, Transponder, Service, Video, Audio, Pcr, Texto, Codificado, FieldCount };
    Field FieldOf(int column) const;

    TVexaData* Data = nullptr;
    std::function<std::string(int)> NumberText;
    std::function<void()> Renumber;
    QString Captions[FieldCount];
};
