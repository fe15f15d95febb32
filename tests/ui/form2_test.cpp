// The configuration window driven through its controls' names, with every modal box answered
// by FakePrompts.
#include "core/dice.h"
#include "listing/outputformats.h"
#include "listing/screenlisting.h"
#include "tests/ui/uitest.h"
#include "ui/captionfit.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/keyboard.h"
#include "ui/spickbox.h"
#include "ui/twips.h"
#include "weapons/weapontable.h"

#include <stdexcept>

using namespace throngkit;

namespace {

class Form2Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        test::WriteTable(dir, "tk-wp-rq1.dat", "RQ test table", "1,50,SWORD,1D8,5\r\n51,100,SPEAR,1D6+1,4\r\n");
        test::WriteTable(dir, "tk-wp-tr1.dat", "Traveller test table", "1,100,RIFLE,3D,2\r\n");
        settings->DBLoc = dir.path() + "/";
        ASSERT_TRUE(LoadWeaponTable(*settings, settings->DBLoc + "tk-wp-rq1.dat").ok());
        form = std::make_unique<Form2>(*settings, dice, prompts);
        form->showTableCaption("RQ test table");
        form->show();
    }

    template <typename Widget>
    Widget &get(const char *name) const
    {
        if (auto *widget = form->findChild<Widget *>(QString::fromLatin1(name)))
            return *widget;
        throw std::runtime_error(std::string("no control ") + name);
    }
    // The weapon-table label and the first weapon of the table in use.
    QString loaded() const { return get<QLabel>("Label3").text() + " " + settings->Weapons[1].Name.trimmed().toString(); }
    QString listing() const { return form->listingWindow().findChild<QPlainTextEdit *>("Text1")->toPlainText(); }
    void type(const char *box, const QString &text)
    {
        get<QLineEdit>(box).clear();
        QTest::keyClicks(&get<QLineEdit>(box), text);
    }
    void click(const char *name) { get<QAbstractButton>(name).click(); }
    // Keys reach a window's shortcuts and focus only while it is the active one.
    static void activate(QWidget &window)
    {
        window.activateWindow();
        // Under Wine the offscreen platform does not give the activation back once a window
        // opened over this one has been hidden.
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // A key as the user presses it: to the control with the focus, an access key's button
    // pressed to its end.
    void press(QWidget &window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, key, modifiers);
        const QList<QAbstractButton *> buttons = window.findChildren<QAbstractButton *>();
        EXPECT_TRUE(QTest::qWaitFor([&] { return std::none_of(buttons.begin(), buttons.end(), [](const QAbstractButton *b) { return b->isDown(); }); }));
    }
    // Ticks or clears "Force standard weapon" and fills its boxes.
    void force(bool ticked, const QString &name = {}, const QString &damage = {}, const QString &rank = {})
    {
        if (get<QCheckBox>("Check1").isChecked() != ticked)
            click("Check1");
        for (const auto &[box, text] : {std::pair{"Text2", name}, {"Text3", damage}, {"Text4", rank}})
            get<QLineEdit>(box).setText(text);
    }

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings = test::NewSettings();
    Dice dice{20240601};
    test::FakePrompts prompts;
    std::unique_ptr<Form2> form;
};

// The start state in both systems, and back, against copies of every control (captions, lists and
// their selections, the disabled and hidden controls, the tab order). Escape leaves the window
// up; Exit ends it.
TEST_F(Form2Test, StartsAsDesignedAndOnlyExitEndsIt)
{
    for (const char *golden : {"form2-runequest", "form2-traveller", "form2-runequest"}) {
        click(golden == QString("form2-traveller") ? "Option1_1" : "Option1_0");
        test::ExpectGolden(test::Snapshot(*form), golden, {{"{title}", settings->Title}});
    }
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    click("Command4");
    EXPECT_FALSE(form->isVisible());
}

// The lists write their settings (an entry's first character; the missile list ends with
// "0 Never"), and keep them while hidden.
TEST_F(Form2Test, ListChoicesAndSystemSwitchThereAndBackWhichLoadsDefaultTables)
{
    test::WriteTable(dir, "tk-wp-other.dat", "Other RQ table", "1,100,CLUB,1D6,3\r\n");
    get<QComboBox>("Combo1").setCurrentIndex(5);
    get<QComboBox>("Combo2").setCurrentIndex(2);
    get<QComboBox>("Combo3").setCurrentIndex(9);
    prompts.pickAnswer = [](const QString &, const QString &) { return 1; };
    form->browse();
    ASSERT_EQ(loaded(), "Other RQ table CLUB");
    for (const auto &[system, caption, weapon] : {std::tuple{"Option1_1", "Traveller test table", "RIFLE"},
                                                 {"Option1_0", "RQ test table", "SWORD"}}) {
        click(system);
        EXPECT_EQ(loaded(), QString(caption) + " " + weapon);
    }
    EXPECT_EQ(get<QComboBox>("Combo2").currentText() + "|" + get<QComboBox>("Combo3").currentText(), "N Never|0 Never");
    EXPECT_EQ(settings->AbilityLevel.toString() + settings->ShieldChoice.toString() + QString::number(settings->MissileOdds), "PN0");

    // A default table that does not load is reported; the previous table stays in use.
    QFile::remove(dir.filePath("tk-wp-tr1.dat"));
    click("Option1_1");
    EXPECT_EQ(prompts.calls, (QStringList{"pickFromList Form2: Other RQ table/RQ test table/Traveller test table/Abandon|Select weapon table",
                                          "failure Form2: The weapon table " + QDir::toNativeSeparators(dir.filePath("tk-wp-tr1.dat"))
                                              + " cannot be opened: " + test::NoSuchFile() + "."}));
    EXPECT_EQ(loaded(), "RQ test table SWORD");
}

TEST_F(Form2Test, HowManyFollowsTypingAndTheScrollBarOneWay)
{
    // Read as NumericValue reads it (its own test has the cases), fractions kept.
    type("Text1", "2.5");
    EXPECT_EQ(settings->HowMany, 2.5f);
    type("Text1", "10");
    auto &scroll = get<QScrollBar>("FlatScrollBar1");
    scroll.triggerAction(QAbstractSlider::SliderSingleStepSub);   // already at 1
    EXPECT_EQ(get<QLineEdit>("Text1").text(), "10");
    scroll.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(get<QLineEdit>("Text1").text(), "2");
    EXPECT_EQ(settings->HowMany, 2.0f);
    type("Text1", "500");
    EXPECT_EQ(scroll.value(), 2);

    // The keys go the way their arrows point, and the focus shows.
    activate(*form);
    const QImage unfocused = scroll.grab().toImage();
    scroll.setFocus(Qt::TabFocusReason);
    EXPECT_NE(scroll.grab().toImage(), unfocused);
    for (const auto &[key, text] : {std::pair{Qt::Key_Right, "3"}, {Qt::Key_Left, "2"}, {Qt::Key_Up, "3"}, {Qt::Key_Down, "2"}}) {
        press(*form, key);
        EXPECT_EQ(get<QLineEdit>("Text1").text(), text);
    }
}

// The access keys reach their controls (a label's, the control it labels; that every caption has
// one of its own is ExpectCaptionsFit's); Enter
// presses the focused button, and generates anywhere else. Each row: the control with the focus
// before (none: as it was), the key, then the focus, the rank label's caption and the boxes asked.
TEST_F(Form2Test, AccessKeysAndEnterReachTheControls)
{
    const QString pick = "pickFromList Form2: RQ test table/Traveller test table/Abandon|Select weapon table";
    const struct { const char *focus; Qt::Key key; Qt::KeyboardModifiers alt; QString after; } rows[] = {
        {nullptr, Qt::Key_T, Qt::AltModifier, "Option1_1 PEN:"},
        {nullptr, Qt::Key_Q, Qt::AltModifier, "Option1_0 SR:"},
        {nullptr, Qt::Key_W, Qt::AltModifier, "Command1 SR: " + pick},   // labels Browse: presses it
        {nullptr, Qt::Key_B, Qt::AltModifier, "Command1 SR: " + pick},
        {nullptr, Qt::Key_H, Qt::AltModifier, "Text1 SR:"},
        {nullptr, Qt::Key_F, Qt::AltModifier, "Check1 SR:"},
        {nullptr, Qt::Key_N, Qt::AltModifier, "Text2 SR:"},
        {nullptr, Qt::Key_L, Qt::AltModifier, "Text5 SR:"},
        {nullptr, Qt::Key_G, Qt::AltModifier, "Text5 SR: showModal Form2: Form3"},   // the focus stays
        {nullptr, Qt::Key_I, Qt::AltModifier, "Text5 SR: showModal Form2: Form3"},
        {"Text5", Qt::Key_Return, {}, "Text5 SR: showModal Form2: Form3"},
        {"Text2", Qt::Key_Enter, Qt::KeypadModifier, "Text2 SR: showModal Form2: Form3"},
        {"Combo1", Qt::Key_Return, {}, "Combo1 SR: showModal Form2: Form3"},
        {"Command1", Qt::Key_Return, {}, "Command1 SR: " + pick},
        {"Command5", Qt::Key_Return, {}, "Command5 SR: showModal Form2: Form3"},
        {nullptr, Qt::Key_X, Qt::AltModifier, "Command5 SR:"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(QKeySequence(row.key | row.alt).toString().toStdString());
        form->listingWindow().hide();
        activate(*form);
        if (row.focus)
            get<QWidget>(row.focus).setFocus(Qt::TabFocusReason);
        prompts.calls.clear();
        press(*form, row.key, row.alt);
        EXPECT_EQ((QStringList{form->focusWidget()->objectName() + " " + WholeCaption(get<QLabel>("Label9")) + ":"} + prompts.calls).join(' '),
                  row.after);
    }
    EXPECT_FALSE(form->isVisible());   // Exit
}

TEST_F(Form2Test, ForceStandardWeaponEnablesTheBoxesAndGenerateCopiesThem)
{
    for (const bool ticked : {true, false}) {
        click("Check1");
        for (const char *box : {"Text2", "Text3", "Text4"})
            EXPECT_EQ(get<QLineEdit>(box).isEnabled(), ticked) << box;
    }
    // How the boxes are read is ApplyWeaponOverride's (its own test has the cases); without the
    // tick they are ignored. No members, whose draws would change damage and rank.
    type("Text1", "0");
    for (const auto &[ticked, weapon] : {std::pair{true, "LONGSWORD1|2D6+1D|-3"}, {false, "*         |*     |2"}}) {
        force(ticked, "LONGSWORD12", "2D6+1D4", "-3");
        click("Command3");
        EXPECT_EQ(settings->ForcedWeapon.toString() + "|" + settings->WeaponDamage.toString() + "|"
                  + QString::number(settings->WeaponRank), weapon);
    }
    EXPECT_EQ(prompts.calls, QStringList(2, "showModal Form2: Form3"));
    force(true, "MACE", "", "3");
    type("Text1", "3");
    click("Command3");
    EXPECT_EQ(settings->Members[3].Weapon.toString(), "MACE      ");   // reaches the members
}

// The rabble of the system selected is listed; Exit and the frame only hide the listing window:
// Display shows what it held, typing included.
TEST_F(Form2Test, GenerateListsTheRabbleAndDisplayShowsItAgain)
{
    form->display();   // before any Generate: a fresh listing window
    EXPECT_EQ(listing(), "Text1");

    // Enter in the box changes nothing; Tab goes to Exit, and Enter there leaves.
    prompts.whileShown = [](QDialog &form3) {
        auto *text = form3.findChild<QPlainTextEdit *>("Text1");
        EXPECT_EQ(form3.focusWidget(), text);
        text->moveCursor(QTextCursor::End);
        QTest::keyClicks(text, "typed note");
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClick(text, Qt::Key_Tab);
        QTest::keyClick(form3.focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(form3.isVisible());
    };
    click("Option1_1");
    type("Text1", "5");
    click("Command3");
    EXPECT_EQ(settings->GeneratedSystem, GameSystem::Traveller);
    const QString shown = listing();
    EXPECT_EQ(shown, BuildTravellerListing(*settings).replace("\r\n", "\n") + "typed note");

    // The listing box has the focus at every showing, wherever the last one left it.
    prompts.whileShown = [](QDialog &form3) {
        EXPECT_EQ(form3.focusWidget()->objectName(), "Text1");
        form3.findChild<QPushButton *>("Command2")->setFocus();
        form3.close();   // by the frame
    };
    click("Command5");
    click("Command5");
    EXPECT_EQ(listing(), shown);
    EXPECT_EQ(prompts.calls, QStringList(4, "showModal Form2: Form3"));
    EXPECT_EQ(form->findChildren<Form3 *>().size(), 1);
}

TEST_F(Form2Test, WhatCannotBeGeneratedIsRefusedBeforeAnythingChanges)
{
    const struct { QString howMany; bool ticked; QString rank; const char *system; bool table; QString message; } cases[] = {
        {"1001", true, "3", "Option1_1", true, "\"How many?\" must be at most 1000."},
        {"abc", false, "3", "Option1_0", true, "\"How many?\" is not a number: type how many fighters to make, from 0 to 1000."},
        {"10", true, "40000", "Option1_0", true, "\"SR\" must be between -32768 and 32767."},
        {"10", true, "-32769", "Option1_1", true, "\"PEN\" must be between -32768 and 32767."},
        {"10", false, "3", "Option1_0", false,
         "No weapon table is loaded. Choose one with \"Browse\", select a game system again to "
         "load its standard table, or tick \"Force standard weapon\"."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        click(c.system);
        if (!c.table)
            settings->WeaponCount = 0;   // the default table missing and none chosen
        type("Text1", c.howMany);
        force(c.ticked, "MACE", "", c.rank);
        prompts.calls.clear();
        click("Command3");
        EXPECT_EQ(prompts.calls, QStringList{"failure Form2: " + c.message});
        EXPECT_EQ(settings->GeneratedSystem, GameSystem::None);
        EXPECT_EQ(settings->ForcedWeapon.toString() + QString::number(settings->WeaponRank), "*         2");
    }
    force(true, "MACE", "", "3");   // a forced weapon needs no table
    prompts.calls.clear();
    click("Command3");
    EXPECT_EQ(prompts.calls, QStringList{"showModal Form2: Form3"});
}

TEST_F(Form2Test, BlankWeaponIsReportedOncePerGenerate)
{
    test::WriteTable(dir, "tk-wp-blank.dat", "Blank table", "1,100,\"\",1D6,3\r\n");
    ASSERT_TRUE(LoadWeaponTable(*settings, settings->DBLoc + "tk-wp-blank.dat").ok());
    type("Text1", "20");
    click("Command3");
    click("Command3");
    EXPECT_EQ(prompts.calls, (QStringList{"notice Form2: 88 ", "showModal Form2: Form3",   // the roll that drew it
                                          "notice Form2: 36 ", "showModal Form2: Form3"}));
}

TEST_F(Form2Test, SavedRabbleKeepsTheSystemThatMadeIt)
{
    type("Text1", "4");
    click("Command3");
    click("Option1_1");
    get<QLineEdit>("Text5").setText("Raiders");
    prompts.fileAnswers = {dir.filePath("raid.rbl"), dir.filePath("raid.rbl")};
    prompts.whileShown = [](QDialog &form3) { form3.findChild<QPushButton *>("Command2")->click(); };
    click("Command5");
    EXPECT_EQ(test::ReadFile(dir.filePath("raid.rbl")), ComposeOutput(OutputFormat::Rbl, {GameSystem::RuneQuest, *settings, "Raiders"}));

    // A heading given at a save is the heading box's from then on.
    get<QLineEdit>("Text5").setText("Throngkit Listing");
    prompts.textAnswers = {QString("Border Raid")};
    click("Command5");
    EXPECT_EQ(get<QLineEdit>("Text5").text(), "Border Raid");
    EXPECT_EQ(test::ReadFile(dir.filePath("raid.rbl")), ComposeOutput(OutputFormat::Rbl, {GameSystem::RuneQuest, *settings, "Border Raid"}));
}

// Browse offers the readable tables of the data folder by caption, in file-name order, on the
// window's screen, says what it left out, and loads the one picked. A file is added for a case, or one goes while the
// list is up; the fixture's tables are put back after each case.
TEST_F(Form2Test, BrowseOffersReadableTablesAndLoadsThePickedOne)
{
    const QByteArray club = "Other table\r\n1,100,CLUB,1D6,3\r\n";
    const struct { const char *file; QByteArray bytes; const char *gone; QString picked, offered, loaded, message, tip, note = {}; } cases[] = {
        {"tk-wp-other.dat", club, "", "Abandon", "Other table/RQ test table/Traveller test table/Abandon", "RQ test table SWORD", "", ""},
        {"tk-wp-other.dat", club, "", "", "Other table/RQ test table/Traveller test table/Abandon", "RQ test table SWORD", "", ""},
        // What cannot be offered is said under the list.
        {"tk-wp-empty.dat", "", "", "Abandon", "RQ test table/Traveller test table/Abandon", "RQ test table SWORD", "", "",
         "1 table left out:\ntk-wp-empty.dat: the file is empty"},
        {"", "", "tk-wp-tr1.dat", "Traveller test table", "RQ test table/Traveller test table/Abandon", "RQ test table SWORD",
         "The weapon table {dir}/tk-wp-tr1.dat cannot be opened: {no file}.", ""},
        // The label shows the caption as the table has it, not as the pick list can.
        {"tk-wp-slash.dat", "Swords/Axes\r\n1,100,AXE,1D8,4\r\n", "", "Swords-Axes",
         "RQ test table/Swords-Axes/Traveller test table/Abandon", "Swords/Axes AXE", "", ""},
        {"tk-wp-zgap.dat", "Gappy\r\n1,40,CLUB,1D6,3\r\n10,20,DAGGER,1D4,3\r\n51,100,AXE,1D8,2\r\n", "", "Gappy",
         "RQ test table/Traveller test table/Gappy/Abandon", "Gappy CLUB", "",
         "Rolls 41 to 50 draw no weapon.\nRow 2 (DAGGER) can never be drawn: earlier rows take all its rolls."},
        // A Windows table: its dashes and quotes show as what they are, in the list, on the label
        // and in its tip.
        {"tk-wp-win.dat", "Swords \x96 Axes\r\n1,40,\x93" "AXE\x94,1D8,4\r\n10,20,\x96" "DAGGER,1D4,3\r\n51,100,CLUB,1D6,2\r\n",
         "", "Swords – Axes", "RQ test table/Traveller test table/Swords – Axes/Abandon", "Swords – Axes \u0093AXE\u0094", "",
         "Rolls 41 to 50 draw no weapon.\nRow 2 (–DAGGER) can never be drawn: earlier rows take all its rolls."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.offered.toStdString());
        if (*c.file)
            test::WriteFile(dir, c.file, c.bytes);
        prompts.calls.clear();
        prompts.pickAnswer = [&](const QString &choices, const QString &) {
            if (*c.gone)
                QFile::remove(dir.filePath(c.gone));
            return int(choices.split(u'/').indexOf(c.picked)) + 1;
        };
        click("Command1");
        QStringList calls{"pickFromList Form2: " + c.offered + "|Select weapon table" + (c.note.isEmpty() ? "" : "|" + c.note)};
        if (!c.message.isEmpty())
            calls << "failure Form2: " + QString(c.message).replace("{dir}/", QDir::toNativeSeparators(dir.path() + "/"))
                                                          .replace("{no file}", test::NoSuchFile());
        EXPECT_EQ(prompts.calls, calls);
        EXPECT_EQ(loaded(), c.loaded);
        EXPECT_EQ(get<QLabel>("Label3").toolTip(), c.tip);
        if (*c.file)
            QFile::remove(dir.filePath(c.file));
        test::WriteTable(dir, "tk-wp-tr1.dat", "Traveller test table", "1,100,RIFLE,3D,2\r\n");
    }
}

// With the fixture's two tables: 18 fill one list; more are paged, 17 to a full page, in file-name
// order whatever the names' case. Each page is answered with its entry before Abandon: "More
// tables…" while there is one, else the last table: pages of 19; 19 and 3; 19, 19 and 7 entries,
// every caption reached in order, the last one loaded.
TEST_F(Form2Test, EveryTableOfALongCatalogueCanBeReached)
{
    prompts.pickAnswer = [](const QString &choices, const QString &) { return int(choices.count(u'/')); };
    QString text;
    for (const int tables : {18, 19, 40}) {
        for (int i = 1; i <= tables - 2; ++i) {
            const QString name = QString("tk-wp-x%1.dat").arg(i, 2, 10, QChar('0'));
            test::WriteTable(dir, i % 2 ? name.toUpper() : name, "Table " + QByteArray::number(i), "1,100,W" + QByteArray::number(i) + ",1D6,3\r\n");
        }
        prompts.calls.clear();
        form->browse();
        text += QString("%1 tables: %2\n").arg(tables).arg(loaded()) + prompts.calls.join(u'\n') + "\n";
    }
    test::ExpectGolden(text, "catalogue");
}

// The texts a control shows and the width the style leaves them; none for controls without one.
QStringList CaptionAndRoom(QWidget &control, int *room)
{
    QStyle *style = control.style();
    if (auto *label = qobject_cast<QLabel *>(&control)) {
        *room = label->contentsRect().width() - (label->frameWidth() > 0 ? label->fontMetrics().horizontalAdvance('x') / 2 : 0);
        if (label->wordWrap())
            return {};
        return {label->buddy() ? WithoutAccessKey(label->text()) : label->text()};
    }
    if (auto *box = qobject_cast<QGroupBox *>(&control)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        option.lineWidth = 1;
        *room = box->width() - style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box).left();
        return {box->title()};
    }
    if (auto *combo = qobject_cast<QComboBox *>(&control)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        *room = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
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
        : qobject_cast<QCheckBox *>(button) ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
    *room = qobject_cast<QToolButton *>(button) ? button->width() - 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth)
                                                : style->subElementRect(contents, &option, button).width();
    if (qobject_cast<QPushButton *>(button) || qobject_cast<QToolButton *>(button))
        *room -= 2;   // a pixel of air each side, or the caption touches the frame
    return {WithoutAccessKey(button->text())};
}

// Every caption fits its room at a readable size; the buttons of a row share the largest size at
// which all fit; every button, choice and label of a control has an access key of its own.
void ExpectCaptionsFit(QWidget &window)
{
    int checked = 0;
    QHash<QWidget *, QList<QAbstractButton *>> rows;
    QStringList keys;
    const int floor = std::min(9, QFontInfo(window.font()).pixelSize());
    for (QWidget *control : window.findChildren<QWidget *>()) {
        int room = 0;
        if (control->window() != &window || !control->isVisibleTo(&window))
            continue;
        const std::string name = (control->objectName() + " in " + QFontInfo(control->font()).family()).toStdString();
        const QStringList texts = CaptionAndRoom(*control, &room);
        for (const QString &text : texts)
            EXPECT_LE(control->fontMetrics().horizontalAdvance(text), room) << name << " \"" << text.toStdString() << "\"";
        EXPECT_TRUE(texts.isEmpty() || QFontInfo(control->font()).pixelSize() >= floor) << name;
        checked += int(texts.size());
        auto *button = qobject_cast<QAbstractButton *>(control);
        auto *label = qobject_cast<QLabel *>(control);
        if (qobject_cast<QPushButton *>(control) || qobject_cast<QToolButton *>(control))
            rows[control->parentWidget()] << button;
        if (button || (label && label->buddy())) {
            keys << QKeySequence::mnemonic(button ? button->text() : label->text()).toString();
            EXPECT_TRUE(!keys.last().isEmpty() && keys.count(keys.last()) == 1) << name << " " << keys.last().toStdString();
        }
    }
    EXPECT_GT(checked, 0);
    for (const QList<QAbstractButton *> &row : std::as_const(rows)) {
        const int size = QFontInfo(row.constFirst()->font()).pixelSize();
        QFont larger = row.constFirst()->font();
        larger.setPixelSize(size + 1);
        bool allFitLarger = size < QFontInfo(window.font()).pixelSize();
        for (QAbstractButton *button : row) {
            int room = 0;
            EXPECT_EQ(QFontInfo(button->font()).pixelSize(), size) << button->objectName().toStdString();
            for (const QString &text : CaptionAndRoom(*button, &room))
                allFitLarger = allFitLarger && QFontMetrics(larger).horizontalAdvance(text) <= room;
        }
        EXPECT_FALSE(allFitLarger) << row.constFirst()->objectName().toStdString();
    }
}

// Both windows in both systems, and the real pick list that Browse shows, in the design font and
// in the fallback that every Debian desktop has, which is wider; a caption too long for any.
TEST_F(Form2Test, EveryCaptionFitsInTheDesignFontAndTheFallback)
{
    QFont fallback;
    fallback.setFamilies({"DejaVu Sans"});
    fallback.setPixelSize(11);
    Form3 &listing = form->listingWindow();
    QtPrompts real(*settings);
    prompts.pickAnswer = [&](const QString &choices, const QString &title) { return real.pickFromList(form.get(), choices, title, "A note"); };
    const std::unique_ptr<QStyle> windows(QStyleFactory::create("Windows"));
    for (const QFont &font : {DesignFont(), fallback}) {
        SCOPED_TRACE(font.families().constFirst().toStdString());
        form->setFont(font);
        listing.setFont(font);
        ExpectCaptionsFit(*form);   // fitted again when the font changes
        for (const char *system : {"Option1_1", "Option1_0"}) {
            click(system);
            ExpectCaptionsFit(*form);
        }
        // Too long even at the readable size: cut with "…", whole in the tooltip before the
        // draw's problems, and whole again when the window has more room.
        const QString caption = "Runequest Standard Weapons of the Northern Wastes";
        test::WriteTable(dir, "tk-wp-long.dat", caption.toLatin1(), "1,40,CLUB,1D6,3\r\n51,100,AXE,1D8,2\r\n");
        ASSERT_TRUE(LoadWeaponTable(*settings, settings->DBLoc + "tk-wp-long.dat").ok());
        form->showTableCaption(caption);
        auto &label = get<QLabel>("Label3");
        EXPECT_TRUE(label.text().endsWith(u'…') && caption.startsWith(label.text().chopped(1))) << label.text().toStdString();
        EXPECT_EQ(label.toolTip(), caption + "\nRolls 41 to 50 draw no weapon.");
        EXPECT_EQ(WholeCaption(label), caption);
        ExpectCaptionsFit(*form);
        label.resize(600, label.height());
        FitCaptions(*form);
        EXPECT_EQ(label.text() + "|" + label.toolTip(), caption + "|Rolls 41 to 50 draw no weapon.");
        label.resize(Twips(0, 0, 2175, 255).size());
        QFile::remove(dir.filePath("tk-wp-long.dat"));
        ExpectCaptionsFit(listing);
        bool seen = false;
        test::WhenUp<SPICKBOX>([&](SPICKBOX &box) {
            seen = true;
            QFont bold = font;
            bold.setBold(true);
            box.setFont(bold);
            ExpectCaptionsFit(box);
            box.close();
        });
        form->browse();
        EXPECT_TRUE(seen);
        // A frame too narrow for its title, in a style that indents titles: the title shrinks.
        QWidget narrow;
        narrow.setFont(font);
        auto *frame = new QGroupBox("Override weapon table", &narrow);
        frame->setStyle(windows.get());
        frame->setGeometry(0, 0, 100, 60);
        // Buttons side by side too narrow even at the readable size, with room beside: they grow.
        for (const int i : {0, 1})
            (new QPushButton(i ? "Save .&htm" : "Save .&rbl", &narrow))->setGeometry(110 + 40 * i, 0, 35, 20);
        // A framed label just wide enough for its caption beside the frame's indent, and a
        // word-wrapped one however long its text: both keep the window's size.
        auto *framed = new QLabel("Weapon table", &narrow), *note = new QLabel(caption, &narrow);
        framed->setFrameStyle(QFrame::Box);
        framed->setGeometry(0, 70, framed->fontMetrics().horizontalAdvance(framed->text()) + framed->fontMetrics().horizontalAdvance('x') / 2 + 2 * framed->frameWidth(), 20);
        note->setWordWrap(true);
        narrow.resize(300, 160);
        FitCaptions(narrow);
        ExpectCaptionsFit(narrow);
        for (QLabel *label : {framed, note})
            EXPECT_EQ(QFontInfo(label->font()).pixelSize(), QFontInfo(font).pixelSize()) << label->text().toStdString();
    }
}

} // namespace
