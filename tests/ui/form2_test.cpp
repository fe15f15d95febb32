// The configuration window driven through its controls' names, with every modal box answered
// by FakePrompts.
#include "core/settings.h"
#include "core/startup.h"
#include "generate/dice.h"
#include "listing/listingfiles.h"
#include "listing/screenlisting.h"
#include "tests/support/testsupport.h"
#include "tests/ui/fakeprompts.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/spickbox.h"
#include "ui/twips.h"
#include "weapons/weapontable.h"

#include <QApplication>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace throngkit;
using throngkit::test::FakePrompts;

namespace {

QByteArray Table(const QByteArray &caption, const QByteArray &rows)
{
    return caption + "\r\n" + rows;
}

class Form2Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        test::WriteFile(dir, "tk-wp-rq1.dat",
                        Table("RQ test table", "1,50,SWORD,1D8,5\r\n51,100,SPEAR,1D6+1,4\r\n"));
        test::WriteFile(dir, "tk-wp-tr1.dat", Table("Traveller test table", "1,100,RIFLE,3D,2\r\n"));
        InitialiseSettings(*settings);
        settings->DBLoc = dir.path() + "/";
        ASSERT_TRUE(LoadWeaponTable(*settings, settings->DBLoc + "tk-wp-rq1.dat").ok());
        form = std::make_unique<Form2>(*settings, dice, prompts);
        form->ShowTableCaption("RQ test table");
        form->show();
    }

    template <typename Widget>
    Widget &get(const char *name) const
    {
        auto *widget = form->findChild<Widget *>(QString::fromLatin1(name));
        if (!widget)
            throw std::runtime_error(std::string("no control ") + name);
        return *widget;
    }
    QString label3() const { return get<QLabel>("Label3").text(); }
    QString listing() const { return form->ListingWindow().findChild<QPlainTextEdit *>("Text1")->toPlainText(); }
    void type(const char *box, const QString &text)
    {
        auto &edit = get<QLineEdit>(box);
        edit.clear();
        QTest::keyClicks(&edit, text);
    }

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings = test::NewSettings();
    Dice dice{20240601};
    FakePrompts prompts;
    std::unique_ptr<Form2> form;
};

TEST_F(Form2Test, StartsAsDesigned)
{
    EXPECT_EQ(form->windowTitle(), settings->Title);
    EXPECT_TRUE(form->windowTitle().startsWith("Throngkit v"));
    EXPECT_EQ(form->size(), QSize(424, 370));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());

    const struct { const char *name; QString caption; } captions[] = {
        {"Frame1", "RPG System"}, {"Frame2", "Settings"}, {"Frame3", "Override weapon table"},
        {"Frame4", "Actions"}, {"Option1_0", "RuneQuest"}, {"Option1_1", "Traveller"},
        {"Option1_2", "AD&&&D"}, {"Label1", "Ability level:"}, {"Label2", "Weapon table:"},
        {"Label4", "Shield?"}, {"Label5", "How many?"}, {"Label6", "Missile weapon 1 in"},
        {"Check1", "Force standard weapon"}, {"Label7", "Name:"}, {"Label8", "Damage"},
        {"Label9", "SR"}, {"Label10", "Heading for listing"}, {"Command1", "Browse"},
        {"Command3", "Generate"}, {"Command4", "Exit"}, {"Command5", "Display"},
        {"Text1", "10"}, {"Text2", ""}, {"Text3", ""}, {"Text4", ""}, {"Text5", "Throngkit Listing"}};
    for (const auto &expected : captions) {
        QObject &control = get<QWidget>(expected.name);
        QString text;
        if (auto *box = qobject_cast<QGroupBox *>(&control)) text = box->title();
        else if (auto *button = qobject_cast<QAbstractButton *>(&control)) text = button->text();
        else if (auto *label = qobject_cast<QLabel *>(&control)) text = label->text();
        else if (auto *edit = qobject_cast<QLineEdit *>(&control)) text = edit->text();
        EXPECT_EQ(text, expected.caption) << expected.name;
    }

    EXPECT_TRUE(get<QRadioButton>("Option1_0").isChecked());
    EXPECT_FALSE(get<QRadioButton>("Option1_1").isChecked());
    EXPECT_FALSE(get<QRadioButton>("Option1_2").isEnabled());
    const struct { const char *name; int entries; QString selected; } lists[] = {
        {"Combo1", 6, "* Random"}, {"Combo2", 3, "* Random"}, {"Combo3", 10, "4"}};
    for (const auto &list : lists) {
        auto &combo = get<QComboBox>(list.name);
        EXPECT_EQ(combo.count(), list.entries) << list.name;
        EXPECT_EQ(combo.currentText(), list.selected) << list.name;
        EXPECT_FALSE(combo.isEditable()) << list.name;
        EXPECT_TRUE(combo.isVisible()) << list.name;
    }
    EXPECT_TRUE(get<QLabel>("Label4").isVisible());
    EXPECT_TRUE(get<QLabel>("Label6").isVisible());
    EXPECT_FALSE(get<QCheckBox>("Check1").isChecked());
    for (const char *box : {"Text2", "Text3", "Text4"})
        EXPECT_FALSE(get<QLineEdit>(box).isEnabled()) << box;
    auto &scroll = get<QScrollBar>("FlatScrollBar1");
    EXPECT_EQ(scroll.orientation(), Qt::Horizontal);
    EXPECT_EQ(scroll.value(), 1);
    EXPECT_EQ(scroll.minimum(), 1);
    EXPECT_EQ(scroll.maximum(), 1000);
    EXPECT_FALSE(get<QListWidget>("List1").isVisible());
    EXPECT_EQ(get<QListWidget>("List1").count(), 0);
    EXPECT_EQ(get<QGroupBox>("Frame2").geometry(), QRect(120, 168, 297, 201));
    EXPECT_EQ(get<QToolButton>("Command5").geometry(), QRect(24, 88, 57, 57));
    for (const char *action : {"Command3", "Command4", "Command5"}) {
        auto &button = get<QToolButton>(action);
        EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonTextUnderIcon) << action;
        EXPECT_FALSE(button.icon().pixmap(32).isNull()) << action;
    }

    EXPECT_EQ(settings->AbilityLevel.toString(), "*");
    EXPECT_EQ(settings->ShieldChoice.toString(), "*");
    EXPECT_EQ(settings->MissileOdds, 4);
    EXPECT_EQ(settings->HowMany, 10.0f);

    // Tab order: the focus chain meets the controls in the order of the design.
    const QStringList order = {"Option1_0", "Option1_1", "Option1_2", "Combo1", "Command1",
                               "Combo2", "Text1", "FlatScrollBar1", "Combo3", "Check1", "Text2",
                               "Text3", "Text4", "List1", "Command3", "Command4", "Command5",
                               "Text5"};
    QStringList chain;
    QWidget *widget = &get<QWidget>("Option1_0");
    do {
        if (order.contains(widget->objectName()) && !chain.contains(widget->objectName()))
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != &get<QWidget>("Option1_0"));
    EXPECT_EQ(chain, order);

    // Screen readers name each box by its label.
    const struct { const char *label; const char *control; QString name; } named[] = {
        {"Label1", "Combo1", "Ability level"}, {"Label4", "Combo2", "Shield?"},
        {"Label5", "Text1", "How many?"}, {"Label6", "Combo3", "Missile weapon 1 in"},
        {"Label7", "Text2", "Name"}, {"Label8", "Text3", "Damage"}, {"Label9", "Text4", "SR"},
        {"Label10", "Text5", "Heading for listing"}};
    for (const auto &n : named) {
        EXPECT_EQ(get<QLabel>(n.label).buddy(), &get<QWidget>(n.control)) << n.label;
        EXPECT_EQ(get<QWidget>(n.control).accessibleName(), n.name) << n.control;
    }
    EXPECT_EQ(get<QWidget>("FlatScrollBar1").accessibleName(), "How many?");
}

TEST_F(Form2Test, ListChoicesWriteTheirSettings)
{
    get<QComboBox>("Combo1").setCurrentIndex(1);
    get<QComboBox>("Combo2").setCurrentIndex(2);
    get<QComboBox>("Combo3").setCurrentIndex(9);
    EXPECT_EQ(settings->AbilityLevel.toString(), "E");
    EXPECT_EQ(settings->ShieldChoice.toString(), "N");
    EXPECT_EQ(settings->MissileOdds, 0);
    get<QComboBox>("Combo1").setCurrentIndex(5);
    get<QComboBox>("Combo3").setCurrentIndex(0);
    EXPECT_EQ(settings->AbilityLevel.toString(), "P");
    EXPECT_EQ(settings->MissileOdds, 1);
}

TEST_F(Form2Test, SystemSwitchThereAndBackKeepsChoicesAndLoadsDefaultTables)
{
    test::WriteFile(dir, "tk-wp-other.dat", Table("Other RQ table", "1,100,CLUB,1D6,3\r\n"));
    get<QComboBox>("Combo2").setCurrentIndex(1);
    get<QComboBox>("Combo3").setCurrentIndex(6);
    prompts.pickAnswer = [](const QString &choices, const QString &) {
        return int(choices.split('/').indexOf("Other RQ table")) + 1;
    };
    form->Browse();
    ASSERT_EQ(label3(), "Other RQ table");

    get<QRadioButton>("Option1_1").click();
    for (const char *name : {"Label4", "Combo2", "Label6", "Combo3"})
        EXPECT_FALSE(get<QWidget>(name).isVisible()) << name;
    EXPECT_EQ(get<QLabel>("Label9").text(), "PEN");
    EXPECT_EQ(get<QLineEdit>("Text4").accessibleName(), "PEN");
    EXPECT_EQ(label3(), "Traveller test table");
    EXPECT_EQ(settings->Weapons[1].Name.toString(), "RIFLE     ");

    get<QRadioButton>("Option1_0").click();
    for (const char *name : {"Label4", "Combo2", "Label6", "Combo3"})
        EXPECT_TRUE(get<QWidget>(name).isVisible()) << name;
    EXPECT_EQ(get<QLabel>("Label9").text(), "SR");
    EXPECT_EQ(label3(), "RQ test table");
    EXPECT_EQ(settings->WeaponCount, 2);
    EXPECT_EQ(get<QComboBox>("Combo2").currentText(), "Y Always");
    EXPECT_EQ(get<QComboBox>("Combo3").currentText(), "7");
    EXPECT_EQ(settings->ShieldChoice.toString(), "Y");
    EXPECT_EQ(settings->MissileOdds, 7);

    // A default table that does not load is reported; the previous table stays in use.
    QFile::remove(dir.filePath("tk-wp-tr1.dat"));
    get<QRadioButton>("Option1_1").click();
    EXPECT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(label3(), "RQ test table");
    EXPECT_EQ(settings->WeaponCount, 2);
    EXPECT_EQ(settings->Weapons[1].Name.toString(), "SWORD     ");
}

TEST_F(Form2Test, HowManyFollowsTypingAndTheScrollBarOneWay)
{
    const struct { QString typed; float howMany; } cases[] = {
        {"", 0}, {"2", 2}, {"25", 25}, {"12x", 12}, {"2.5", 2.5f}, {"abc", 0}};
    for (const auto &step : cases) {
        type("Text1", step.typed);
        EXPECT_EQ(settings->HowMany, step.howMany) << step.typed.toStdString();
    }

    type("Text1", "10");
    auto &scroll = get<QScrollBar>("FlatScrollBar1");
    scroll.triggerAction(QAbstractSlider::SliderSingleStepSub);   // already at 1
    EXPECT_EQ(get<QLineEdit>("Text1").text(), "10");
    scroll.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(get<QLineEdit>("Text1").text(), "2");
    EXPECT_EQ(settings->HowMany, 2.0f);
    type("Text1", "500");
    EXPECT_EQ(scroll.value(), 2);
}

TEST_F(Form2Test, ForceStandardWeaponOnlyEnablesTheBoxes)
{
    for (const char *box : {"Text2", "Text3", "Text4"})
        get<QLineEdit>(box).setText(QString::fromLatin1(box));
    get<QCheckBox>("Check1").click();
    for (const char *box : {"Text2", "Text3", "Text4"})
        EXPECT_TRUE(get<QLineEdit>(box).isEnabled()) << box;
    EXPECT_EQ(settings->ForcedWeapon.toString(), "*         ");
    get<QCheckBox>("Check1").click();
    for (const char *box : {"Text2", "Text3", "Text4"}) {
        EXPECT_FALSE(get<QLineEdit>(box).isEnabled()) << box;
        EXPECT_EQ(get<QLineEdit>(box).text(), QString::fromLatin1(box));
    }
}

TEST_F(Form2Test, GenerateCopiesTheOverride)
{
    const struct { bool ticked; QString name, damage, rank, forced, weaponDamage; int weaponRank; }
        cases[] = {
            {true, "MACE", "1D8+2", "3", "MACE      ", "1D8+2 ", 3},
            {true, "LONGSWORD12", "2D6+1D4", "2.5", "LONGSWORD1", "2D6+1D", 2},
            {true, "", "", "3.5", "          ", "      ", 4},
            {true, "AXE", "1D6", "abc", "AXE       ", "1D6   ", 0},
            {true, "AXE", "1D6", "-32768", "AXE       ", "1D6   ", -32768},
            {false, "MACE", "1D8", "3", "*         ", "*     ", 2},
        };
    type("Text1", "0");   // no draws, which would change WeaponDamage and WeaponRank
    for (const auto &c : cases) {
        auto &check = get<QCheckBox>("Check1");
        if (check.isChecked() != c.ticked)
            check.click();
        get<QLineEdit>("Text2").setText(c.name);
        get<QLineEdit>("Text3").setText(c.damage);
        get<QLineEdit>("Text4").setText(c.rank);
        get<QToolButton>("Command3").click();
        EXPECT_EQ(settings->ForcedWeapon.toString(), c.forced) << c.rank.toStdString();
        EXPECT_EQ(settings->WeaponDamage.toString(), c.weaponDamage) << c.rank.toStdString();
        EXPECT_EQ(settings->WeaponRank, c.weaponRank) << c.rank.toStdString();
    }
    EXPECT_EQ(prompts.count("showModal"), std::size(cases));
    EXPECT_TRUE(prompts.messages().isEmpty());

    // The forced weapon reaches every member.
    get<QCheckBox>("Check1").click();
    get<QLineEdit>("Text2").setText("MACE");
    get<QLineEdit>("Text4").setText("3");
    type("Text1", "3");
    get<QToolButton>("Command3").click();
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(settings->Members[i].Weapon.toString(), "MACE      ") << i;
}

TEST_F(Form2Test, TravellerRabbleIsListedAndShownModally)
{
    get<QRadioButton>("Option1_1").click();
    type("Text1", "5");
    get<QToolButton>("Command3").click();
    EXPECT_EQ(settings->GeneratedSystem, GameSystem::Traveller);
    ASSERT_EQ(prompts.of("showModal"), QStringList{"Form3"});
    const QString expected = BuildTravellerListing(*settings);
    EXPECT_EQ(listing(), QString(expected).replace("\r\n", "\n"));
    EXPECT_NE(expected, BuildRQListing(*settings));
}

TEST_F(Form2Test, DisplayShowsTheLastListingAgain)
{
    form->Display();   // before any Generate: a fresh listing window
    EXPECT_EQ(listing(), "Text1");

    prompts.whileShown = [](QDialog &form3) {
        auto *text = form3.findChild<QPlainTextEdit *>("Text1");
        text->moveCursor(QTextCursor::End);
        QTest::keyClicks(text, "typed note");
        form3.findChild<QPushButton *>("Command1")->click();
        EXPECT_FALSE(form3.isVisible());
    };
    get<QToolButton>("Command3").click();
    const QString shown = listing();
    EXPECT_TRUE(shown.endsWith("typed note"));

    prompts.whileShown = [](QDialog &form3) { form3.close(); };   // by the frame
    get<QToolButton>("Command5").click();
    get<QToolButton>("Command5").click();
    EXPECT_EQ(listing(), shown);
    EXPECT_EQ(prompts.count("showModal"), 4);
    EXPECT_EQ(form->findChildren<Form3 *>().size(), 1);
}

TEST_F(Form2Test, OutOfRangeInputIsRefusedBeforeAnythingChanges)
{
    const struct { QString howMany; bool ticked; QString rank; const char *system; QString message; }
        cases[] = {
            {"1001", false, "", "Option1_0", "\"How many?\" must be at most 1000."},
            {"1e40", true, "3", "Option1_1", "\"How many?\" must be at most 1000."},
            {"10", true, "40000", "Option1_0", "\"SR\" must be between -32768 and 32767."},
            {"10", true, "-32769", "Option1_1", "\"PEN\" must be between -32768 and 32767."},
        };
    for (const auto &c : cases) {
        prompts.calls.clear();
        get<QRadioButton>(c.system).click();
        prompts.calls.clear();
        type("Text1", c.howMany);
        if (get<QCheckBox>("Check1").isChecked() != c.ticked)
            get<QCheckBox>("Check1").click();
        get<QLineEdit>("Text2").setText("MACE");
        get<QLineEdit>("Text4").setText(c.rank);
        get<QToolButton>("Command3").click();
        EXPECT_EQ(prompts.messages(), QStringList{c.message});
        EXPECT_EQ(prompts.count("showModal"), 0);
        EXPECT_EQ(settings->GeneratedSystem, GameSystem::None);
        EXPECT_EQ(settings->ForcedWeapon.toString(), "*         ");
        EXPECT_EQ(settings->WeaponRank, 2);
    }
}

TEST_F(Form2Test, SavedRabbleKeepsTheSystemThatMadeIt)
{
    type("Text1", "4");
    get<QToolButton>("Command3").click();
    get<QRadioButton>("Option1_1").click();
    get<QLineEdit>("Text5").setText("Raiders");
    prompts.fileAnswers = {dir.filePath("raid.rbl")};
    prompts.whileShown = [](QDialog &form3) {
        form3.findChild<QPushButton *>("Command2")->click();
    };
    get<QToolButton>("Command5").click();
    EXPECT_EQ(test::ReadFile(dir.filePath("raid.rbl")), ComposeRQRbl(*settings, "Raiders"));

    // A heading given at a save is the heading box's from then on.
    get<QLineEdit>("Text5").setText("Throngkit Listing");
    prompts.textAnswers = {QString("Border Raid")};
    prompts.fileAnswers = {dir.filePath("raid.rbl")};
    get<QToolButton>("Command5").click();
    EXPECT_EQ(get<QLineEdit>("Text5").text(), "Border Raid");
    EXPECT_EQ(test::ReadFile(dir.filePath("raid.rbl")), ComposeRQRbl(*settings, "Border Raid"));
}

class BrowseTest : public Form2Test
{
protected:
    // The choice text offered, and the answer given.
    QString offered;
    int answer = 0;
    void browse()
    {
        prompts.pickAnswer = [this](const QString &choices, const QString &title) {
            EXPECT_EQ(title, "Select weapon table");
            offered = choices;
            return answer;
        };
        form->Browse();
        EXPECT_EQ(prompts.calls.back().parent, form.get());   // on the window's screen
    }
    QStringList listed() const
    {
        QStringList names;
        auto &list = get<QListWidget>("List1");
        for (int i = 0; i < list.count(); ++i)
            names << list.item(i)->text();
        return names;
    }
};

TEST_F(BrowseTest, TablesAreOfferedInNameOrderAndTheChosenOneLoaded)
{
    test::WriteFile(dir, "TK-WP-Other.DAT", Table("Other table", "1,100,CLUB,1D6,3\r\n"));
    answer = 1;
    browse();
    EXPECT_EQ(offered, "Other table/RQ test table/Traveller test table/Abandon");
    EXPECT_EQ(listed(), (QStringList{"TK-WP-Other.DAT", "tk-wp-rq1.dat", "tk-wp-tr1.dat"}));
    EXPECT_EQ(label3(), "Other table");
    EXPECT_EQ(settings->WeaponCount, 1);
    EXPECT_EQ(settings->Weapons[1].Name.toString(), "CLUB      ");

    // "Abandon", or the list closed by its frame, changes nothing.
    for (int nothing : {4, 0}) {
        answer = nothing;
        browse();
        EXPECT_EQ(label3(), "Other table");
        EXPECT_EQ(settings->Weapons[1].Name.toString(), "CLUB      ");
    }
    EXPECT_TRUE(prompts.messages().isEmpty());
}

TEST_F(BrowseTest, OffersOnlyReadableTablesUnderTheirOwnNumbers)
{
    QFile::remove(dir.filePath("tk-wp-tr1.dat"));
    test::WriteFile(dir, "tk-wp-empty.dat", "");
    test::WriteFile(dir, "tk-wp-slash.dat", Table("Swords/Axes", "1,100,AXE,1D8,4\r\n"));
    test::WriteFile(dir, "tk-wp-notes.txt", Table("Not a table", "1,100,ROCK,1D3,1\r\n"));

    browse();
    QStringList entries = offered.split('/');
    EXPECT_EQ(entries.size(), 3);
    EXPECT_FALSE(listed().contains("tk-wp-empty.dat"));
    EXPECT_EQ(entries.last(), "Abandon");
    answer = int(entries.indexOf("Swords-Axes")) + 1;
    ASSERT_GT(answer, 0);
    browse();
    EXPECT_EQ(listed().at(answer - 1), "tk-wp-slash.dat");
    EXPECT_EQ(settings->Weapons[1].Name.toString(), "AXE       ");
    EXPECT_EQ(label3(), "Swords/Axes");

    // A table that fails to load is reported, and the one in use stays, with its caption.
    answer = int(entries.indexOf("RQ test table")) + 1;
    prompts.pickAnswer = [this](const QString &, const QString &) {
        QFile::remove(dir.filePath("tk-wp-rq1.dat"));
        return answer;
    };
    form->Browse();
    EXPECT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(label3(), "Swords/Axes");
    EXPECT_EQ(settings->Weapons[1].Name.toString(), "AXE       ");
}

TEST_F(BrowseTest, TableLabelTipNamesGapsAndRowsNeverDrawn)
{
    const auto tip = [this] { return get<QLabel>("Label3").toolTip(); };
    EXPECT_EQ(tip(), QString());   // the start-up table is sound
    QFile::remove(dir.filePath("tk-wp-tr1.dat"));
    test::WriteFile(dir, "tk-wp-zgap.dat",
                    Table("Gappy", "1,40,CLUB,1D6,3\r\n10,20,DAGGER,1D4,3\r\n51,100,AXE,1D8,2\r\n"));
    prompts.pickAnswer = [](const QString &choices, const QString &) {
        return int(choices.split('/').indexOf("Gappy")) + 1;
    };
    form->Browse();
    ASSERT_EQ(label3(), "Gappy");
    EXPECT_EQ(tip(), "Rolls 41 to 50 draw no weapon.\n"
                     "Row 2 (DAGGER) can never be drawn: earlier rows take all its rolls.");
    EXPECT_TRUE(prompts.messages().isEmpty());   // a tip, not a message box

    // A table that does not load leaves the tip of the table still in use; a sound one clears it.
    get<QRadioButton>("Option1_1").click();
    EXPECT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(tip().startsWith("Rolls 41 to 50"));
    get<QRadioButton>("Option1_0").click();
    EXPECT_EQ(label3(), "RQ test table");
    EXPECT_EQ(tip(), QString());
}

TEST_F(BrowseTest, EveryTableOfALongCatalogueCanBeReached)
{
    // With the fixture's two tables: 18 fill one list; more are paged, 17 to a full page.
    const struct { int tables; QList<int> pageSizes; } cases[] = {
        {18, {19}}, {19, {19, 3}}, {40, {19, 19, 7}}};
    const QString more = QString::fromUtf8("More tables\u2026");
    int written = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.tables);
        QStringList captions{"RQ test table", "Traveller test table"};
        for (int i = 1; i <= c.tables - 2; ++i) {
            // Names in both cases: the order must not depend on it.
            const QString name = QString("tk-wp-x%1.dat").arg(i, 2, 10, QChar('0'));
            if (i > written)
                test::WriteFile(dir, i % 2 ? name.toUpper() : name,
                                Table("Table " + QByteArray::number(i),
                                      "1,100,W" + QByteArray::number(i) + ",1D6,3\r\n"));
            captions << QString("Table %1").arg(i);
        }
        written = c.tables - 2;

        // Each page: "More tables…" while there is one, else the last table.
        QList<int> pageSizes;
        QStringList reached;
        prompts.pickAnswer = [&](const QString &choices, const QString &) {
            QStringList entries = choices.split('/');
            pageSizes << int(entries.size());
            EXPECT_EQ(entries.takeLast(), "Abandon");
            const int number = int(entries.size());   // "More tables…", or the last table
            if (entries.last() == more)
                entries.removeLast();
            reached << entries;
            return number;
        };
        form->Browse();
        EXPECT_EQ(pageSizes, c.pageSizes);
        EXPECT_EQ(reached, captions);
        EXPECT_EQ(label3(), captions.last());
        EXPECT_EQ(settings->Weapons[1].Name.trimmed(), QString("W%1").arg(c.tables - 2));
    }
    EXPECT_TRUE(prompts.messages().isEmpty());
}

TEST_F(Form2Test, BlankWeaponIsReportedOncePerGenerate)
{
    test::WriteFile(dir, "tk-wp-blank.dat", Table("Blank table", "1,100,\"\",1D6,3\r\n"));
    ASSERT_TRUE(LoadWeaponTable(*settings, settings->DBLoc + "tk-wp-blank.dat").ok());
    type("Text1", "20");
    get<QToolButton>("Command3").click();
    get<QToolButton>("Command3").click();
    EXPECT_EQ(prompts.messages().size(), 2);
    EXPECT_EQ(prompts.count("showModal"), 2);
    for (const auto &call : prompts.calls) {
        if (call.kind == "message") {
            EXPECT_EQ(call.messageKind, MessageKind::Notice);
        }
    }
}

TEST_F(Form2Test, GenerateWithoutATableSaysHowToChooseOne)
{
    settings->WeaponCount = 0;   // the default table missing and none chosen
    get<QToolButton>("Command3").click();
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages().constFirst().startsWith("No weapon table is loaded."));
    EXPECT_TRUE(prompts.messages().constFirst().contains("\"Browse\""));
    EXPECT_EQ(prompts.calls.front().messageKind, MessageKind::Failure);
    EXPECT_EQ(prompts.count("showModal"), 0);
    EXPECT_EQ(settings->GeneratedSystem, GameSystem::None);

    // A forced weapon needs no table.
    get<QCheckBox>("Check1").click();
    get<QLineEdit>("Text2").setText("MACE");
    get<QLineEdit>("Text4").setText("3");
    get<QToolButton>("Command3").click();
    EXPECT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.count("showModal"), 1);
}

// The text a control shows and the width the style leaves it, as the style draws it; an empty
// list for controls without a caption.
QStringList CaptionAndRoom(QWidget &control, int *room)
{
    QStyle *style = control.style();
    if (auto *label = qobject_cast<QLabel *>(&control)) {
        const int indent = label->frameWidth() > 0 ? label->fontMetrics().horizontalAdvance('x') / 2 : 0;
        *room = label->contentsRect().width() - indent;
        return {label->text()};
    }
    if (auto *box = qobject_cast<QGroupBox *>(&control)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        option.lineWidth = 1;
        *room = box->width() - style->subControlRect(QStyle::CC_GroupBox, &option,
                                                     QStyle::SC_GroupBoxLabel, box).left();
        return {box->title()};
    }
    if (auto *combo = qobject_cast<QComboBox *>(&control)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        *room = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                      combo).width();
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }
    auto *button = qobject_cast<QAbstractButton *>(&control);
    if (!button)
        return {};
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle::SubElement contents = qobject_cast<QRadioButton *>(button) ? QStyle::SE_RadioButtonContents
        : qobject_cast<QCheckBox *>(button) ? QStyle::SE_CheckBoxContents
        : QStyle::SE_PushButtonContents;
    *room = qobject_cast<QToolButton *>(button)
                ? button->width() - 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth)
                : style->subElementRect(contents, &option, button).width();
    return {QString(button->text()).remove('&')};
}

void ExpectCaptionsFit(QWidget &window)
{
    int checked = 0;
    for (QWidget *control : window.findChildren<QWidget *>()) {
        int room = 0;
        if (control->window() != &window || !control->isVisibleTo(&window))
            continue;
        for (const QString &text : CaptionAndRoom(*control, &room)) {
            ++checked;
            EXPECT_LE(control->fontMetrics().horizontalAdvance(text), room)
                << control->objectName().toStdString() << " \"" << text.toStdString() << "\" in "
                << QFontInfo(control->font()).family().toStdString();
        }
    }
    EXPECT_GT(checked, 0);
}

TEST_F(Form2Test, EveryCaptionFitsInTheDesignFontAndTheFallback)
{
    QFont fallback;   // on every Debian desktop, and wider than the face of the design
    fallback.setFamilies({"DejaVu Sans"});
    fallback.setPixelSize(DesignFont().pixelSize());
    Form3 &listing = form->ListingWindow();
    // The real pick list, which the timer below answers.
    QtPrompts real(*settings);
    prompts.pickAnswer = [&](const QString &choices, const QString &title) {
        return real.pickFromList(form.get(), choices, title);
    };
    for (const QFont &font : {DesignFont(), fallback}) {
        SCOPED_TRACE(font.families().constFirst().toStdString());
        form->setFont(font);
        listing.setFont(font);
        for (const char *system : {"Option1_1", "Option1_0"}) {
            get<QRadioButton>(system).click();
            ExpectCaptionsFit(*form);
        }
        ExpectCaptionsFit(listing);

        // The pick list that Browse shows, answered once it is up.
        bool seen = false;
        QTimer::singleShot(0, form.get(), [&] {
            auto *box = form->findChild<SPICKBOX *>();
            if (!box || !box->isVisible()) {
                if (QWidget *modal = QApplication::activeModalWidget())
                    modal->close();
                return;
            }
            seen = true;
            QFont bold = font;
            bold.setBold(true);
            box->setFont(bold);
            ExpectCaptionsFit(*box);
            box->close();
        });
        form->Browse();
        EXPECT_TRUE(seen);
    }
}

TEST_F(Form2Test, ExitEndsTheWindowAndEscapeDoesNot)
{
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    get<QToolButton>("Command4").click();
    EXPECT_FALSE(form->isVisible());
}

} // namespace
