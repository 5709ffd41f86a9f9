#pragma once
// The import road: the user picks a source, it is read into a fresh data set
// with the channel database's readers, the set is checked, and only a whole,
// faultless set goes on to the update chooser, which merges the channels the
// user marks into the current list. The current list changes nowhere else.
#include <functional>
#include <string>
#include <vector>

class QWidget;
class TVexaComm;
class TVexaData;

class ImportRoad {
public:
    // The sources, numbered as the road knows them.
    enum Source { TextList = 1, Binary = 2, Max = 3, Sdx = 4, Internet = 5 };

    // The import tool (its guard has run): the whole road on the current list.
    static void Run(QWidget* Parent, TVexaComm* Comm, TVexaData& Current);

    // Reads one source into Incoming, asking for the file or the listing
    // first. True only when Incoming holds everything the source held; on
    // false the user has cancelled or has been told why.
    static bool ReadSource(QWidget* Parent, int Code, TVexaData& Incoming);

    // The step after a good check: merging Incoming into Current. The
    // update chooser unless another is set (an empty function restores it).
    using TUpdateChooser = std::function<void(QWidget* Parent, TVexaData& Current, TVexaData& Incoming)>;
    static void SetUpdateChooser(TUpdateChooser chooser);

    // The listing service: true with the listing's lines, false when the
    // user cancelled. The download dialog unless another is set.
    using TListingSource = std::function<bool(QWidget* Parent, std::vector<std::string>& Lines)>;
    static void SetListingSource(TListingSource source);
};
