// The favourites organiser driven as a user would: group, type and mode,
// moving channels in and out through the picker, marking in mode 1,
// printing, and what OK and Cancel leave in the caller's data.
#include "database/TVexaData.h"
#include "foundation/ui/QtText.h"
#include "support/qt/ColumnWidths.h"
#include "support/qt/ModalDialogs.h"
#include "windows/TFMain.h"
#include "windows/controls/TL7Segment.h"
#include "windows/lists/TFShrChn.h"
#include "windows/tools/TFFavoritos.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

QStringList Names(const QTreeView* view)
{
    QStringList names;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        names << view->model()->index(r, 0).data().toString();
    return names;
}

void Pick(QTreeView* view, std::initializer_list<int> rows)
{
    view->clearSelection();
    for (int row : rows)
        view->selectionModel()->select(view->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

int Selected(const QTreeView* view)
{
    return static_cast<int>(view->selectionModel()->selectedRows().size());
}

QPoint RowCenter(const QTreeView* view, int row)
{
    return view->visualRect(view->model()->index(row, 0)).center();
}

class FavoritosTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TSateliteRec* astra = Data.Satelites.New();
        astra->Name = "Astra";
        TTransponderRec* tp = Data.Transponders.New();
        tp->Satelite = astra;
        tp->Frequency = 11778;
        tp->Polar = 'v';
        // name, radio, list 1, list 5; T2 carries a stale Favorite mark.
        const struct { const char* name; int radio, first, fifth; } channels[] = {
            {"T1", 0, 1, 0}, {"T2", 0, 0, 1}, {"R1", 1, 1, 1}, {"T3", 0, 1, 1}, {"T4", 0, 0, 0}, {"R2", 1, 0, 0}};
        for (const auto& c : channels) {
            TChannelRec* channel = Data.Channels.New();
            channel->Name = c.name;
            channel->Satelite = astra;
            channel->Transponder = tp;
            channel->ServiceId = 28006;
            channel->Radio = static_cast<std::uint8_t>(c.radio);
            channel->Favorites[0] = static_cast<std::uint8_t>(c.first);
            channel->Favorites[4] = static_cast<std::uint8_t>(c.fifth);
            channel->Favorite = channel->Favorites[0];
            channel->Lock = 1;
        }
        Data.Channels.Get(1)->Favorite = 1;
        Data.Valid = true;
        Original.Assign(Data);
    }

    // Runs the organiser; act does what the user does, then OK or Cancel.
    bool Run(const std::function<void(TFFavoritos&)>& act, bool ok = true)
    {
        TFFavoritos dialog;
        Lista = dialog.findChild<QTreeView*>("Lista");
        Picker = dialog.Picker;
        ListaCan = Picker->ListaCan;
        const QAbstractItemModelTester tester(Lista->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        WhenModal(&dialog, [&](QWidget*) {
            act(dialog);
            (ok ? dialog.BitBtn1 : dialog.BitBtn2)->click();
        });
        const bool result = dialog.Execute(Data);
        // The picker reads the working copy: it lets go of it at the end.
        EXPECT_FALSE(Picker->isVisible());
        EXPECT_TRUE(Picker->ChnList.empty());
        return result;
    }

    // Drops a drag's payload (taken over) on a list.
    static void Drop(QMimeData* data, QTreeView* target, bool accepted)
    {
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(target->viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), accepted);
        QDropEvent drop(at, Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(target->viewport(), &drop);
        delete data;
    }

    TVexaData Data;
    TVexaData Original;
    QTreeView* Lista = nullptr;
    TFShrChn* Picker = nullptr;
    QTreeView* ListaCan = nullptr;
};

TEST_F(FavoritosTest, GroupTypeAndModeChooseTheRows)
{
    // Pressing a row and moving: a drag in mode 0, a swept range in mode 1.
    auto sweep = [&] {
        Lista->clearSelection();
        QTest::mousePress(Lista->viewport(), Qt::LeftButton, {}, RowCenter(Lista, 0));
        QTest::mouseMove(Lista->viewport(), RowCenter(Lista, 1));
        QTest::mouseRelease(Lista->viewport(), Qt::LeftButton, {}, RowCenter(Lista, 1));
        return Selected(Lista);
    };
    Run([&](TFFavoritos& d) {
        EXPECT_EQ(d.L7Segment1->DigitValue(), '1');
        EXPECT_EQ(sweep(), 1);
        EXPECT_EQ(Names(Lista), QStringList({"T1", "T3"}));
        const struct { int group, type; QRadioButton* mode; char digit; QStringList names; bool tv; } cases[] = {
            {4, 0, d.RadioButton0, '5', {"T2", "T3"}, true},
            {4, 1, d.RadioButton0, '5', {"R1"}, false},
            {0, 1, d.RadioButton1, '1', {"R1", "R2"}, false},
            {7, 0, d.RadioButton1, '8', {"T1", "T2", "T3", "T4"}, true},
        };
        for (const auto& c : cases) {
            d.ComboBox1->setCurrentIndex(c.group);
            d.ComboBox2->setCurrentIndex(c.type);
            c.mode->click();
            EXPECT_EQ(d.L7Segment1->DigitValue(), c.digit);
            EXPECT_EQ(Names(Lista), c.names) << c.digit;
            EXPECT_EQ(d.Image1->isVisibleTo(&d), c.tv);
            EXPECT_EQ(d.Image2->isVisibleTo(&d), !c.tv);
        }
        EXPECT_EQ(sweep(), 2);
        for (int c = 0; c < Lista->model()->columnCount(); ++c)
            EXPECT_GE(Lista->header()->sectionSize(c), CaptionNeeds(Lista, c)) << c;
        EXPECT_GE(Lista->header()->sectionSize(3), CellNeeds(Lista, "28006"));
    });
}

// The picker beside a 660 x 460 organiser: on the side with room, or with the organiser moved over
// (a 1280 pixel screen), or on a screen too narrow for both, over the list but clear of the buttons.
TEST(FavoritosPlaceTest, ThePickerGoesBesideTheOrganiser)
{
    const struct {
        int screenWidth, organiserX, movedTo, pickerX;
        bool beside;
    } cases[] = {{1920, 630, 630, 1294, true}, {1280, 310, 224, 888, true}, {1280, 620, 620, 224, true},
                 {800, 70, 70, 408, false}};
    for (const auto& c : cases) {
        const QRect screen(0, 0, c.screenWidth, 994);
        const QRect organiser(c.organiserX, 267, 660, 460);
        const QRect buttons(organiser.right() - 180, organiser.bottom() - 40, 170, 30);
        const PickerPlace place = PlacePicker(screen, organiser, QSize(392, 338), buttons);
        const QPoint moved = place.Organiser - organiser.topLeft();
        EXPECT_EQ(place.Organiser.x(), c.movedTo) << c.screenWidth;
        EXPECT_EQ(place.Picker.x(), c.pickerX) << c.screenWidth;
        EXPECT_TRUE(screen.contains(place.Picker)) << c.screenWidth;
        EXPECT_FALSE(place.Picker.intersects(buttons.translated(moved))) << c.screenWidth;
        EXPECT_EQ(place.Picker.intersects(organiser.translated(moved)), !c.beside) << c.screenWidth;
    }
}

TEST_F(FavoritosTest, MovesChannelsBothWaysAndEveryRefillClearsTheSelections)
{
    Run([&](TFFavoritos& d) {
        d.PopupMenuPopup();
        EXPECT_TRUE(d.AadirCanal1->isVisible());
        d.AadirCanal1->trigger();
        ASSERT_TRUE(Picker->isVisible());
        EXPECT_TRUE(d.screen()->availableGeometry().contains(Picker->frameGeometry()));
        for (const QPushButton* button : {d.BitBtn1, d.BitBtn2})
            EXPECT_FALSE(Picker->frameGeometry().intersects(QRect(button->mapToGlobal(QPoint()), button->size())));
        EXPECT_EQ(Names(ListaCan), QStringList({"T2", "T4"})); // never a radio channel while TV
        // Both picked rows by a double click.
        QTest::mouseClick(ListaCan->viewport(), Qt::LeftButton, {}, RowCenter(ListaCan, 0));
        QTest::mouseClick(ListaCan->viewport(), Qt::LeftButton, Qt::ShiftModifier, RowCenter(ListaCan, 1));
        QTest::mouseDClick(ListaCan->viewport(), Qt::LeftButton, Qt::ShiftModifier, RowCenter(ListaCan, 1));
        QTest::mouseRelease(ListaCan->viewport(), Qt::LeftButton, Qt::ShiftModifier, RowCenter(ListaCan, 1));
        EXPECT_EQ(Names(Lista), QStringList({"T1", "T2", "T3", "T4"}));
        EXPECT_TRUE(Names(ListaCan).isEmpty());
        // Out again with Delete, and back with Enter.
        Pick(Lista, {1, 3});
        QTest::keyClick(Lista, Qt::Key_Delete);
        EXPECT_EQ(Names(Lista), QStringList({"T1", "T3"}));
        EXPECT_EQ(Names(ListaCan), QStringList({"T2", "T4"}));
        Pick(ListaCan, {1});
        QTest::keyClick(ListaCan, Qt::Key_Return);
        EXPECT_TRUE(Picker->isVisible()); // Enter is not the picker's button
        EXPECT_EQ(Names(Lista), QStringList({"T1", "T3", "T4"}));

        // Drops: only the other list's rows of this organiser are taken.
        Pick(Lista, {0});
        Drop(d.DragData(Lista), Lista, false);
        auto* foreign = new QMimeData;
        foreign->setText("T1");
        Drop(foreign, ListaCan, false);
        TFFavoritos other;
        Drop(other.DragData(other.findChild<QTreeView*>("Lista")), ListaCan, false);
        EXPECT_EQ(Names(Lista), QStringList({"T1", "T3", "T4"}));
        Drop(d.DragData(Lista), ListaCan, true);
        EXPECT_EQ(Names(Lista), QStringList({"T3", "T4"}));
        ListaCan->selectAll();
        Drop(d.DragData(ListaCan), Lista, true);
        EXPECT_EQ(Names(Lista), QStringList({"T1", "T2", "T3", "T4"}));

        // A selection never outlives a refill: Enter, Delete and drops act on nothing.
        d.ComboBox1->setCurrentIndex(1);
        ListaCan->selectAll();
        Lista->selectAll();
        d.ComboBox2->setCurrentIndex(1);
        EXPECT_EQ(Selected(ListaCan) + Selected(Lista), 0);
        QTest::keyClick(ListaCan, Qt::Key_Return);
        QTest::keyClick(Lista, Qt::Key_Delete);
        EXPECT_TRUE(Names(Lista).isEmpty());
        EXPECT_EQ(Names(ListaCan), QStringList({"R1", "R2"}));

        d.RadioButton1->click(); // mode 1 hides the picker
        EXPECT_FALSE(Picker->isVisible());
        d.RadioButton0->click();
        d.AadirCanal1->trigger();
        EXPECT_EQ(Names(ListaCan), QStringList({"R1", "R2"}));
    });
    for (int i : {0, 1, 3, 4})
        EXPECT_EQ(Data.Channels.Get(i)->Favorites[0], 1) << i;
}

TEST_F(FavoritosTest, ModeOneMarksByAnyButtonAndSpace)
{
    Run([&](TFFavoritos& d) {
        d.RadioButton1->click();
        ASSERT_EQ(Names(Lista), QStringList({"T1", "T2", "T3", "T4"}));
        auto member = [&](int row) { return Lista->model()->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked; };
        // Members and the rest show different pictures.
        const QImage shot = Lista->viewport()->grab().toImage();
        EXPECT_NE(shot.copy(d.StatePictureRect(0)), shot.copy(d.StatePictureRect(1)));
        EXPECT_EQ(shot.copy(d.StatePictureRect(0)), shot.copy(d.StatePictureRect(2)));
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            QTest::mouseClick(Lista->viewport(), button, {}, d.StatePictureRect(1).center());
            EXPECT_EQ(member(1), button != Qt::RightButton) << button; // each button toggles
        }
        QTest::mouseClick(Lista->viewport(), Qt::LeftButton, {}, RowCenter(Lista, 1) + QPoint(30, 0));
        EXPECT_TRUE(member(1)); // the name is no picture
        Lista->selectAll();
        QTest::keyClick(Lista, Qt::Key_Delete); // nothing in mode 1
        QTest::keyClick(Lista, Qt::Key_Space);
        EXPECT_EQ(QList<bool>({member(0), member(1), member(2), member(3)}), QList<bool>({false, false, false, true}));
        d.PopupMenuPopup();
        EXPECT_EQ(QList<bool>({d.AadirCanal1->isVisible(), d.BorrarCanal1->isVisible(), d.Imprimir1->isVisible(),
                               d.Buscar1->isVisible()}), QList<bool>({false, false, false, true}));
    });
    for (int i = 0; i < Data.Channels.Count(); ++i)
        EXPECT_EQ(Data.Channels.Get(i)->Favorites[0], int(i == 2 || i == 4)) << i;
}

TEST_F(FavoritosTest, OkTakesBackOnlyTheListsAndCancelNothing)
{
    auto organise = [](TFFavoritos& d) {
        d.RadioButton1->click();
        d.ComboBox1->setCurrentIndex(4);
        for (int row : {0, 1})
            QTest::mouseClick(d.findChild<QTreeView*>("Lista")->viewport(), Qt::LeftButton, {}, d.StatePictureRect(row).center());
    };
    EXPECT_FALSE(Run(organise, false));
    EXPECT_TRUE(Data.Equals(Original));

    EXPECT_TRUE(Run(organise, true));
    TVexaData expected;
    expected.Assign(Original);
    expected.Channels.Get(0)->Favorites[4] = 1; // T1 in, T2 out of list 5
    expected.Channels.Get(1)->Favorites[4] = 0;
    EXPECT_TRUE(Data.Equals(expected)); // Favorite and Lock untouched
}

TEST_F(FavoritosTest, PrintsTheShownGroupWithItsName)
{
    QStringList printed;
    TFMain::SetListPrinter([&](QTreeView* view, const std::string& title, const std::string& subtitle) {
        printed << view->objectName() << ToQt(title) << ToQt(subtitle) << Names(view);
    });
    Run([&](TFFavoritos& d) {
        d.ComboBox1->setCurrentIndex(4);
        d.Imprimir1->trigger();
        d.RadioButton1->click();
        d.Imprimir1->trigger(); // no printing in mode 1
    });
    TFMain::SetListPrinter(nullptr);
    EXPECT_EQ(printed, QStringList({"Lista", "Canales Favoritos", "Favoritos 5", "T2", "T3"}));
}

} // namespace
