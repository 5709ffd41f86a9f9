#pragma once
// TVexaData: one receiver channel list in memory.
//
// Four ordered record lists -- Satelites, Transponders, Antenas, Channels --
// plus the list number the receiver keeps and a flag that says whether the
// set holds a list that was read or started successfully.
//
// References. A transponder and an antenna refer to their satellite; a channel
// to its satellite, transponder and antenna (TRef). A reference to a record
// that is not in the list -- a default record, a record deleted while still
// referenced, or one that was never set -- counts as missing: IndexOf gives -1
// and Resolve gives the list's default record. A deleted record is never
// followed. Callers that delete records re-point or delete the records that
// depend on them first; forgetting to is harmless, not a crash.
//
// Capacities. The receiver holds at most 127 satellites, 2048 transponders,
// 127 antennas and 2500 channels. The lists do not enforce them (importers add
// freely and then check); the receiver image writer refuses a set beyond them.
//
// Copying and comparing. A data set is never copied by value: Assign makes a
// deep copy whose references point into the copy; Equals compares two sets
// record by record, references by the content of what they point to.
//
// Everything here runs on the main thread.
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

#include "database/TAntenas.h"
#include "database/TChannels.h"
#include "database/TSatelites.h"
#include "database/TTransponders.h"
#include "database/VexaRecords.h"

class TVexaData {
public:
    static constexpr int MaxSatelites = 127;
    static constexpr int MaxTransponders = 2048;
    static constexpr int MaxAntenas = 127;
    static constexpr int MaxChannels = 2500;

    // An empty, not valid set. Its default satellite takes its name (text
    // 1414) from the language current now and keeps it.
    TVexaData();
    TVexaData(const TVexaData&) = delete;
    TVexaData& operator=(const TVexaData&) = delete;

    // Declared in this order on purpose: each list refers to the ones above it.
    TSatelites Satelites;
    TTransponders Transponders;
    TAntenas Antenas;
    TChannels Channels;
    std::uint16_t ListNumber = 0;
    bool Valid = false;

    // Empties the four lists (the default records stay), ListNumber 0, Valid false.
    void Clear();

    // True while every list is within the receiver's capacity.
    bool WithinCapacity() const;

    // The N-th (from 1) transponder of Satelite in list order; the default
    // transponder when N < 1 or Satelite has fewer than N transponders.
    // A transponder whose satellite is missing belongs to the default satellite.
    TTransponderRec* GetTpOfSat(int n, const TSateliteRec* satelite) const;

    // The number of Transponder among the transponders of its own satellite
    // (the first is 1); 0 when the list does not hold it.
    int TpNumber(const TTransponderRec* transponder) const;

    // Deep copy of Source; every reference is re-linked to the copy's record
    // at the same position, and a reference Source cannot find in its lists
    // becomes the copy's default record of that kind.
    void Assign(const TVexaData& source);

    // Field-by-field equality of two records. References are compared by the
    // content of what they point to, never by identity; a missing reference
    // stands for this set's default record.
    bool SameRecord(const TSateliteRec& a, const TSateliteRec& b) const;
    bool SameRecord(const TTransponderRec& a, const TTransponderRec& b) const;
    bool SameRecord(const TAntenaRec& a, const TAntenaRec& b) const;
    bool SameRecord(const TChannelRec& a, const TChannelRec& b) const;

    // Whole-set equality: list number, valid flag, then every list pair by
    // pair (satellites, transponders, antennas, channels). Missing references
    // stand for each set's own default record.
    bool Equals(const TVexaData& other) const;

    // ---- The receiver's memory image (also the ".Dat" and ".Bin" files)

    static constexpr std::size_t ImageSize = 131072;

    // Clears the set and reads an image: the signature "kelvoran", the
    // counts, then the four tables. The image must hold all 131072 bytes
    // (bytes beyond are ignored) and counts within the capacities. False, with
    // the set empty and not valid, for anything else; nothing is read past
    // the end of the buffer. Stored indexes that name no record become the
    // default records.
    bool LoadFromImage(std::span<const std::uint8_t> image);
    // The same from the start of a stream.
    bool LoadFromImage(std::istream& stream);

    // Packs the set into an image of ImageSize bytes: into the first
    // ImageSize bytes of Image, into Image resized, or at the start of a
    // stream. False, touching nothing (neither the set nor the output), when
    // a list is beyond its capacity or the buffer is too small; false when
    // the stream fails. Each channel's Favorite mark is set from its
    // favourites list 1 first, in the set as in the image. A reference to a
    // record the list does not hold is stored as index 255 (0xFFFF for a
    // channel's transponder).
    bool SaveToImage(std::span<std::uint8_t> image);
    bool SaveToImage(std::vector<std::uint8_t>& image);
    bool SaveToImage(std::ostream& stream);

    // ---- The text channel list (".Txt", BoxLoader style)

    // Results of LoadFromTxt.
    static constexpr int TxtRead = 0;
    static constexpr int TxtFormatError = 1; // also: no "BOXP5000" line
    static constexpr int TxtCancelled = 2;

    // Replaces Lines with the whole text list: banner, list number,
    // "BOXP5000", then the antenna, satellite/transponder and program
    // sections; Favourites adds the column of favourites lists 1 to 7. What
    // the format cannot say is lost on reading: antenna k goes with satellite
    // k, transponders are numbered within their satellite, and transponders
    // of a missing satellite are not written. A double quote in a name is
    // written as a single quote, so that the file always reads back.
    void SaveToTxt(bool favourites, std::vector<std::string>& lines) const;

    // Clears the set and reads a text list in three passes (satellites and
    // transponders, antennas, programs) under a wait box that shows progress
    // and offers Cancel. TxtRead when a "BOXP5000" line was met and every
    // line was good; TxtFormatError or TxtCancelled otherwise, and then the
    // set is left empty and not valid.
    int LoadFromTxt(const std::vector<std::string>& lines);

    // One line, already split into words, in pass 1, 2 or 3. False for a
    // known tag with the wrong number of words in its own pass, a
    // transponder whose polarisation is neither 'v' nor 'h', and a NUL byte
    // in the tag or in any word of a known tag's line (in every pass).
    bool ParseTxtLine(int pass, const std::vector<std::string>& tokens);

    // ---- Checks, repair and removal of records that no channel uses
    //
    // A reference is missing when its record is not an entry of its list:
    // the default records, deleted records and references never set alike.
    // Only channels make a record used.

    // Empties Lines (when given) and writes one line per finding: the set is
    // not valid, then transponders and antennas without their satellite, then
    // per channel a missing satellite, antenna and transponder. True when
    // anything was found. Changes nothing.
    bool Check(std::vector<std::string>* lines = nullptr) const;

    // Empties Lines; deletes the transponders and antennas whose satellite is
    // missing, then the channels with any missing reference, each list from
    // its last record to its first, writing a line per deletion. True when
    // anything was deleted. Valid is left as it is.
    bool Repair(std::vector<std::string>& lines);

    // Deletes the satellites, then the transponders, then the antennas that no
    // channel refers to. A transponder or antenna that a channel still uses
    // survives even when its own satellite goes; its satellite then reads as
    // missing.
    void DeleteUnused();

    // The last record of its list that no channel refers to; nullptr when
    // every record is used or the list is empty.
    TSateliteRec* UnusedSatelite() const;
    TAntenaRec* UnusedAntena() const;
    TTransponderRec* UnusedTransponder() const;

    // ---- MAX files (Galaxis Editor)

    // Results of LoadFromMax.
    static constexpr int MaxFileRead = 0;
    static constexpr int MaxFileCancelled = 1;
    static constexpr int MaxFileFormatError = 2; // a record with too few fields

    // Clears the set, lays down the 24 satellites the format numbers (each
    // with an actuator antenna at the same position), then reads the
    // transponder records of the file's first section and the channel
    // records of its second, under a wait box with progress and Cancel.
    // Cancelled leaves what was read so far, not valid; a format error
    // leaves the set empty and not valid.
    int LoadFromMax(const std::vector<std::string>& lines);

    // One record of section 1 (a transponder) or 2 (a channel); records of
    // other sections are ignored. False, appending nothing, when the record
    // has fewer fields than its section reads (11 and 7).
    bool ParseMaxRecord(int section, const std::vector<std::string>& fields);

    // ---- SDX files and listings (SatcoDX), and find-or-add

    // Results of LoadFromSdx.
    static constexpr int SdxRead = 0;
    static constexpr int SdxListFull = 1;

    // Clears the set and makes a channel of every line that starts with
    // "SATCODX" in any case, finding or adding its satellite, antenna and
    // transponder. A line whose orbital position is outside 0 to 3600
    // tenths is skipped. SdxListFull, with the set not valid, when a list
    // is full and every record in it is used.
    int LoadFromSdx(const std::vector<std::string>& lines);

    // The first record that matches; else, with Add, a new one with fixed
    // defaults -- appended while the list is below its capacity, otherwise
    // the last record that no channel uses, overwritten in place (a reused
    // satellite keeps its transponders and antennas). nullptr when none is
    // found and none can be added. A null Satelite stands for the default
    // satellite.
    TSateliteRec* FindSatelite(std::uint16_t angle, char eastWest, const std::string& name, bool add);
    TAntenaRec* FindAntena(TSateliteRec* satelite, bool add);
    TTransponderRec* FindTransponder(TSateliteRec* satelite, std::uint16_t frequency, char polar,
                                     std::uint16_t symbol, bool add);
};

// A number field of a MAX record: mode 0 the text as it stands; mode 1 "0x"
// hexadecimal (or the text as it stands), 0 for a text under 2 characters;
// mode 2 without its first two and last two characters; mode 3 without its
// first two and last one. 0 when empty or malformed.
std::int32_t MaxNumber(int mode, const std::string& text);
