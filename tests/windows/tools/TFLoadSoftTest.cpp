// The firmware dialog: examining firmware files, and uploading one to the
// receiver emulator through the transfer window.
#include "windows/tools/TFLoadSoft.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "link/LinkTestSupport.h"
#include "link/TVexaComm.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"
#include "support/qt/ModalDialogs.h"
#include "support/qt/ScriptedFileDialogs.h"
#include "windows/MainWindowTestSupport.h"
#include "windows/transfer/TFTraspaso.h"

#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const std::string kLine = "BOX Digital Satellite Receiver ROM image\r\n";

// A firmware file of varied bytes with the version marker and text at `at`.
std::string Firmware(size_t at = 0, const std::string& version = "")
{
    std::string file = kLine;
    for (size_t i = 0; i < 2097152; ++i)
        file += char((i * 31 + i / 4093) & 0xFF);
    std::string marker;
    for (int v : {3, 5, 7, 9, 11, 13, 17, 19, 23, 29})
        marker += std::string{char(v), 0, 0, 0};
    return at ? file.replace(at, marker.size() + version.size(), marker + version) : file;
}

struct FileDialogsScope : ScriptedFileDialogs {
    FileDialogsScope() { SetFileDialogs(this); }
    ~FileDialogsScope() override { SetFileDialogs(nullptr); }
};

} // namespace

// One dialog examines the files in turn, as a user changing the file would:
// each choice starts again from the empty labels.
TEST(LoadSoftFiles, OnlyAWholeFirmwareFileCanBeUploaded)
{
    const std::string whole = Firmware(1000, std::string("VX4400 SW 2.05\0junk", 19));
    std::string lower = whole, noCrLf = whole;
    lower[4] = 'd';
    noCrLf[40] = '\n';
    const struct {
        const char* name;
        std::string bytes, size, version; // version empty: not valid
    } rows[] = {
        {"valid with version", whole, "2.097.194", "VX4400 SW 2.05"},
        {"one byte more", whole + "x", "2.097.195", ""},
        {"valid without marker", Firmware(), "2.097.194", LangText(1517)},
        {"lower-case signature", lower, "2.097.194", ""},
        {"version at the very end", Firmware(42 + 2097152 - 50, "0123456789"), "2.097.194", "0123456789"},
        {"line not ended by CR LF", noCrLf, "2.097.194", ""},
        {"image without its line", std::string(2097152, 'B'), "2.097.152", ""},
        {"empty", "", "0", ""},
    };
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    ScriptedMessageBoxes boxes;
    FileDialogsScope files;
    TempDir dir;
    TFLoadSoft w;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        WriteFileBytes(dir / "image.Bin", r.bytes);
        files.AnswerNext(QString::fromStdString((dir / "image.Bin").string()));
        w.BitBtn3->click();
        const bool valid = !r.version.empty();
        char crc[16];
        std::snprintf(crc, sizeof crc, "%08X",
                      unsigned(ReceiverEmulator::Crc32(reinterpret_cast<const uint8_t*>(r.bytes.data()), r.bytes.size())));
        EXPECT_EQ(FromQt(w.Label4->text()), LangText(1514) + ": " + r.size + " Bytes");
        EXPECT_EQ(FromQt(w.Label1->text()), valid ? LangText(1515) + ": " + r.version : LangText(1506));
        EXPECT_EQ(FromQt(w.Label3->text()), valid ? LangText(1516) + ": " + crc : LangText(1508));
        EXPECT_EQ(w.BitBtn1->isEnabled(), valid);
    }
    QLocale::setDefault(QLocale::system());
    EXPECT_TRUE(boxes.Boxes().empty());

    // A file that cannot be read leaves the dialog as if none was chosen.
    files.AnswerNext(QString::fromStdString(dir.path().string()));
    w.BitBtn3->click();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, LangText(1512) + " " + dir.path().string());
    EXPECT_EQ(FromQt(w.Panel1->text()), LangText(1511));
    EXPECT_FALSE(w.BitBtn1->isEnabled());
}

// Both kinds of upload against the emulated receiver; it gets the image
// behind the signature line, announced as the chosen kind.
TEST(LoadSoftUpload, SendsTheImageAsTheChosenKind)
{
    QtEventLoopScope loop;
    ReceiverEmulator emulator;
    PortEnv ports({{2, emulator.DevicePath()}});
    TVexaComm comm(2);
    ASSERT_TRUE(WaitUntil([&] { return comm.Connected(); }));
    FileDialogsScope files;
    TempDir dir;
    const std::string file = Firmware(5000, std::string("1.0", 4));
    WriteFileBytes(dir / "fw.Bin", file);
    const std::string expected = std::string("\x00\x20\x00\x00", 4) + file.substr(42);

    for (const auto& [bootLoader, startCode] : {std::pair{false, 0x12}, std::pair{true, 0x22}}) {
        SCOPED_TRACE(bootLoader);
        ScriptedMessageBoxes boxes;
        TFLoadSoft w;
        files.AnswerNext(QString::fromStdString((dir / "fw.Bin").string()));
        // The receiver's display after an upload takes some 46 s: run its clock fast.
        WhenShown<TFTraspaso>([](TFTraspaso* t) { t->Reloj->setInterval(1); });
        bool oncePerFile = false;
        WhenModal(&w, [&](QWidget*) {
            ASSERT_TRUE(HasKeyboard(&w));
            w.BitBtn3->click();
            (bootLoader ? w.RadioButton2 : w.RadioButton1)->setChecked(true);
            w.BitBtn1->click();
            oncePerFile = !w.BitBtn1->isEnabled();
            // The transfer window has closed and the keyboard is back: Esc
            // closes the dialog.
            ASSERT_EQ(QApplication::activeWindow(), &w);
            ASSERT_NE(QApplication::focusWidget(), nullptr);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        }, 60000);
        w.Execute(&comm);
        EXPECT_TRUE(oncePerFile);
        EXPECT_EQ(emulator.FirmwareStartCode(), startCode);
        const auto got = emulator.Firmware();
        EXPECT_TRUE(std::string(got.begin(), got.end()) == expected);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, LangText(2216));
    }
}
