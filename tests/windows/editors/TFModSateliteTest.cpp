// The satellite editor driven as a user would: reuse in a full list, Cancel,
// the 16-bit LNB fields and the position (also beyond what can be typed).
#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/qt/DialogInput.h"
#include "support/qt/ModalDialogs.h"
#include "windows/editors/TFModSatelite.h"

#include <QLabel>

#include <algorithm>
#include <map>
#include <vector>

namespace {

// Satellites "S0", "S1", ...; each used by a channel unless it is free;
// those in withTp carry a transponder.
void Fill(TVexaData& data, int count, const std::vector<int>& free = {}, const std::vector<int>& withTp = {})
{
    for (int i = 0; i < count; ++i) {
        TSateliteRec* s = data.Satelites.New();
        s->Name = "S" + std::to_string(i);
        if (std::count(withTp.begin(), withTp.end(), i))
            data.Transponders.New()->Satelite = s;
        if (!std::count(free.begin(), free.end(), i))
            data.Channels.New()->Satelite = s;
    }
}

} // namespace

TEST(TFModSateliteTest, ANewSatelliteInAFullListReusesTheLowestFreeOne)
{
    const std::string fresh = LangText(2820);
    const struct {
        const char* what;
        int count;
        std::vector<int> free, withTp;
        bool cancel; // with Esc in a number field
        int stored;  // RecIndex after OK; -1: no window, text 2819
        std::string shown;
    } cases[] = {
        {"room: appended", 126, {}, {}, false, 126, fresh},
        {"full: no transponders nor channels first", 127, {3, 7, 9}, {3}, false, 7, "S7"},
        {"full: else no channels", 127, {7, 3}, {3, 7}, false, 3, "S3"},
        {"full, every one used", 127, {}, {}, false, -1, ""},
        {"Cancel of a reuse offer", 127, {4}, {}, true, 4, "S4"},
        {"Cancel of a new one", 1, {}, {}, true, -1, fresh},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedMessageBoxes boxes;
        TVexaData data, before;
        Fill(data, c.count, c.free, c.withTp);
        before.Assign(data);
        TFModSatelite editor;
        QString shown, usage;
        WhenModal(&editor, [&](QWidget* d) {
            shown = W<QLineEdit>(d, "Nombre")->text();
            usage = W<QLabel>(d, "Label9")->text();
            Retype(d, "Nombre", "Otro");
            Retype(d, "Grados", "45");
            Retype(d, "LNB_Low", "70000"); // the last 0 would pass 65535
            QTest::keyClick(W(d, "LNB_Low"), c.cancel ? Qt::Key_Escape : Qt::Key_Return);
        });
        EXPECT_EQ(editor.Execute(data, -1), c.stored != -1 && !c.cancel);
        if (c.cancel || c.stored == -1) {
            EXPECT_TRUE(data.Equals(before));
            EXPECT_EQ(boxes.Boxes().size(), c.cancel ? 0u : 1u);
            if (!c.cancel) {
                EXPECT_EQ(boxes.Boxes()[0].text, LangText(2819));
            }
            continue;
        }
        EXPECT_EQ(editor.RecIndex, c.stored);
        EXPECT_EQ(data.Satelites.Count(), 127);
        EXPECT_EQ(data.Satelites.Get(c.stored)->Angle, 450);
        EXPECT_EQ(data.Satelites.Get(c.stored)->LnbLow, 7000);
        EXPECT_EQ(shown, ToQt(c.shown));
        EXPECT_TRUE(usage.endsWith(ToQt("\n0 Canales")));
    }
}

TEST(TFModSateliteTest, PositionsGoBackExactlyAsStoredOrAsTyped)
{
    const struct {
        std::uint16_t stored;
        const char* shown;
        const char* typed; // nullptr: left alone
        std::uint16_t back;
        const char* keys = nullptr; // then pressed at the end: '\b' Backspace, '^' Home, '\x7f' Delete
    } cases[] = {
        {192, "19.2", nullptr, 192},
        {1055, "105.5", nullptr, 1055},
        {1900, "190.0", nullptr, 1900}, // beyond what can be typed: kept
        {0, "0.0", "105.5", 1055},
        {0, "0.0", "181", 180},   // the third digit would pass 180.0
        {0, "0.0", "12a.3", 123}, // the letter is refused
        {1900, "190.0", "", 0},
        // Deleting from a position beyond 180.0 (from a foreign file) is
        // possible; typing into it is not until it is back in range.
        {13005, "1300.5", nullptr, 1300, "\b\b\b"},
        {13005, "1300.5", nullptr, 5, "^\x7f\x7f"},
        {13005, "1300.5", nullptr, 13005, "\b9"}, // still beyond: kept
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - cases));
        TVexaData data;
        Fill(data, 1);
        data.Satelites.Get(0)->Angle = c.stored;
        TFModSatelite editor;
        QString shown;
        WhenModal(&editor, [&](QWidget* d) {
            shown = W<QLineEdit>(d, "Grados")->text();
            if (c.typed)
                Retype(d, "Grados", c.typed);
            auto* grados = W<QLineEdit>(d, "Grados");
            QTest::keyClick(grados, Qt::Key_End);
            const std::map<char, Qt::Key> special = {{'\b', Qt::Key_Backspace}, {'^', Qt::Key_Home}, {'\x7f', Qt::Key_Delete}};
            for (const char* key = c.keys; key && *key; ++key) {
                if (special.count(*key))
                    QTest::keyClick(grados, special.at(*key));
                else
                    QTest::keyClicks(grados, QString(QLatin1Char(*key)));
            }
            Click(d, "BitBtn1");
        });
        ASSERT_TRUE(editor.Execute(data, 0));
        EXPECT_EQ(shown, QLatin1String(c.shown));
        EXPECT_EQ(data.Satelites.Get(0)->Angle, c.back);
    }
}
