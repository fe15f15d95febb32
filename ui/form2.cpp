#include "ui/form2.h"

#include "core/dice.h"
#include "core/messagesink.h"
#include "core/numerictext.h"
#include "core/request.h"
#include "core/settings.h"
#include "core/windows1252.h"
#include "generate/generators.h"
#include "listing/screenlisting.h"
#include "session/startup.h"
#include "ui/captionfit.h"
#include "ui/form3.h"
#include "ui/keyboard.h"
#include "ui/prompts.h"
#include "ui/twips.h"
#include "weapons/tablecatalog.h"
#include "weapons/tablecheck.h"
#include "weapons/weapontable.h"

#include <QCheckBox>
#include <QEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

#include <cmath>
#include <span>
#include <utility>

namespace throngkit {

namespace {

// The pick list holds 19 entries, one of them "Abandon"; a page of a longer catalogue gives one
// more of them to "More tables…".
constexpr int PickListEntries = 19;

// Notices of the generators (the blank-weapon roll) as message boxes over the window.
class MessageBoxSink final : public MessageSink
{
public:
    MessageBoxSink(Prompts &prompts, QWidget *parent) : m_prompts(prompts), m_parent(parent) {}
    void showMessage(const QString &text) override
    {
        m_prompts.message(m_parent, text, MessageKind::Notice);
    }

private:
    Prompts &m_prompts;
    QWidget *m_parent;
};

template <typename Widget>
Widget *Place(Widget *widget, const char *name, const QRect &rect)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(rect);
    return widget;
}

QLabel *MakeLabel(QWidget *container, const char *name, const QString &caption, const QRect &rect)
{
    return Place(new QLabel(caption, container), name, rect);
}

QComboBox *MakeDropDownList(QWidget *container, const char *name, const QRect &rect)
{
    auto *combo = Place(new QComboBox(container), name, rect);
    combo->setEditable(false);
    return combo;
}

QLineEdit *MakeTextBox(QWidget *container, const char *name, const QRect &rect)
{
    return Place(new QLineEdit(container), name, rect);
}

QToolButton *MakeActionButton(QWidget *container, const char *name, const QString &caption,
                              const QString &icon, const QRect &rect)
{
    auto *button = Place(new QToolButton(container), name, rect);
    button->setText(caption);
    button->setIcon(QIcon(icon));   // with its @2x twin for scaled desktops
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return button;
}

// The "How many?" scroll bar. QScrollBar inverts its keys (Left raises, Right lowers) as a scroll
// bar of a page does; this one counts, so the keys and the wheel go the way the arrows point and
// up means more. No style draws a scroll bar's focus: it gets a frame of its own.
class CountScrollBar final : public QScrollBar
{
public:
    explicit CountScrollBar(QWidget *parent) : QScrollBar(Qt::Horizontal, parent) { setInvertedControls(false); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QScrollBar::paintEvent(event);
        if (!hasFocus())
            return;
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Highlight));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

// A label's caption as the name of the control it labels: "&Name:" names the box "Name".
QString AccessibleName(QString caption)
{
    caption = WithoutAccessKey(caption);
    if (caption.endsWith(u':'))
        caption.chop(1);
    return caption;
}

// "SR" or "PEN", with access keys that no other caption of the window has.
QString RankCaption(GameSystem system)
{
    return system == GameSystem::Traveller ? QStringLiteral("&PEN") : QStringLiteral("S&R");
}

// The first character of a list entry: the code the entry stands for.
QString EntryCode(const QComboBox *combo, int index)
{
    return combo->itemText(index).left(1);
}

} // namespace

Form2::Form2(Settings &settings, Dice &dice, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_dice(dice), m_prompts(prompts)
{
    buildControls();
    load();
    FitCaptions(*this);
}

Form2::~Form2() = default;

void Form2::buildControls()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Configure"));
    setFont(DesignFont());
    setFixedSize(TwipsSize(6360, 5550));
    setSizeGripEnabled(false);

    // Created in tab order, which is also the order in which they overlap.
    m_systemFrame = Place(new QGroupBox(QStringLiteral("RPG System"), this), "Frame1",
                          Twips(1800, 0, 1935, 1815));
    m_systemChoices[0] = Place(new QRadioButton(QStringLiteral("Rune&Quest"), m_systemFrame),
                               "Option1_0", Twips(120, 240, 1215, 255));
    m_systemChoices[1] = Place(new QRadioButton(QStringLiteral("&Traveller"), m_systemFrame),
                               "Option1_1", Twips(120, 480, 975, 255));
    // "&&" is a literal ampersand, "&D" makes D the access key: the button reads AD&D.
    m_systemChoices[2] = Place(new QRadioButton(QStringLiteral("AD&&&D"), m_systemFrame),
                               "Option1_2", Twips(120, 720, 855, 255));
    m_systemChoices[0]->setChecked(true);
    m_systemChoices[2]->setEnabled(false);

    m_settingsFrame = Place(new QGroupBox(QStringLiteral("Settings"), this), "Frame2",
                            Twips(1800, 2520, 4455, 3015));
    m_abilityLabel = MakeLabel(m_settingsFrame, "Label1", QStringLiteral("&Ability level:"),
                               Twips(120, 240, 975, 255));
    m_abilityChoices = MakeDropDownList(m_settingsFrame, "Combo1", Twips(120, 480, 2175, 315));
    m_tableLabel = MakeLabel(m_settingsFrame, "Label2", QStringLiteral("&Weapon table:"),
                             Twips(120, 960, 1575, 255));
    m_tableCaption = MakeLabel(m_settingsFrame, "Label3", QString(), Twips(120, 1200, 2175, 255));
    m_tableCaption->setTextFormat(Qt::PlainText);   // a table's caption, never markup
    m_tableCaption->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_tableCaption->setLineWidth(1);
    m_tableCaption->setAutoFillBackground(true);
    QPalette white = m_tableCaption->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    m_tableCaption->setPalette(white);
    m_browseButton = Place(new QPushButton(QStringLiteral("&Browse"), m_settingsFrame), "Command1",
                           Twips(1440, 960, 855, 255));
    m_browseButton->setAutoDefault(false);
    m_shieldLabel = MakeLabel(m_settingsFrame, "Label4", QStringLiteral("&Shield?"),
                              Twips(120, 1560, 1335, 255));
    m_shieldChoices = MakeDropDownList(m_settingsFrame, "Combo2", Twips(120, 1800, 2175, 315));
    m_howManyLabel = MakeLabel(m_settingsFrame, "Label5", QStringLiteral("&How many?"),
                               Twips(2760, 240, 1215, 255));
    // Ends where the scroll bar begins (15 twips short of 975), so that its right edge shows.
    m_howManyBox = MakeTextBox(m_settingsFrame, "Text1", Twips(2760, 480, 960, 285));
    m_howManyBox->setText(QString::number(double(RabbleRequest().howMany)));
    m_howManyScroll = Place(new CountScrollBar(m_settingsFrame), "FlatScrollBar1",
                            Twips(3720, 480, 495, 255));
    m_howManyScroll->setRange(1, MaxMembers);
    m_howManyScroll->setSingleStep(1);
    m_howManyScroll->setValue(1);
    m_howManyScroll->setFocusPolicy(Qt::TabFocus);
    m_missileLabel = MakeLabel(m_settingsFrame, "Label6", QStringLiteral("&Missile weapon 1 in"),
                               Twips(120, 2280, 1575, 255));
    m_missileChoices = MakeDropDownList(m_settingsFrame, "Combo3", Twips(120, 2520, 2175, 315));

    m_overrideFrame = Place(new QGroupBox(QStringLiteral("Override weapon table"), this), "Frame3",
                            Twips(3840, 0, 2415, 1815));
    m_forceWeaponBox =
        Place(new QCheckBox(QStringLiteral("&Force standard weapon"), m_overrideFrame), "Check1",
              Twips(120, 240, 2175, 255));
    m_weaponNameLabel = MakeLabel(m_overrideFrame, "Label7", QStringLiteral("&Name:"),
                                  Twips(120, 480, 1815, 255));
    m_weaponNameBox = MakeTextBox(m_overrideFrame, "Text2", Twips(120, 720, 2055, 285));
    m_damageLabel = MakeLabel(m_overrideFrame, "Label8", QStringLiteral("Damag&e"),
                              Twips(120, 1080, 2055, 255));
    m_damageBox = MakeTextBox(m_overrideFrame, "Text3", Twips(120, 1320, 1095, 285));
    m_rankLabel = MakeLabel(m_overrideFrame, "Label9", RankCaption(GameSystem::RuneQuest),
                            Twips(1440, 1080, 735, 255));
    m_rankBox = MakeTextBox(m_overrideFrame, "Text4", Twips(1440, 1320, 735, 285));
    for (QLineEdit *box : {m_weaponNameBox, m_damageBox, m_rankBox})
        box->setEnabled(false);

    m_tableFiles = Place(new QListWidget(this), "List1", Twips(5160, 4920, 1095, 1620));
    m_tableFiles->hide();

    m_actionsFrame = Place(new QGroupBox(QStringLiteral("Actions"), this), "Frame4",
                           Twips(0, 0, 1695, 3615));
    m_generateButton = MakeActionButton(m_actionsFrame, "Command3", QStringLiteral("&Generate"),
                                        QStringLiteral(":/throngkit/icons/generate.png"),
                                        Twips(360, 360, 855, 855));
    m_exitButton = MakeActionButton(m_actionsFrame, "Command4", QStringLiteral("E&xit"),
                                    QStringLiteral(":/throngkit/icons/exit.png"),
                                    Twips(360, 2640, 855, 855));
    m_displayButton = MakeActionButton(m_actionsFrame, "Command5", QStringLiteral("D&isplay"),
                                       QStringLiteral(":/throngkit/icons/display.png"),
                                       Twips(360, 1320, 855, 855));

    m_headingBox = MakeTextBox(this, "Text5", Twips(1800, 2160, 4455, 285));
    m_headingBox->setText(QString::fromUtf16(DefaultHeading));
    m_headingLabel = MakeLabel(this, "Label10", QStringLiteral("Heading for &listing"),
                               Twips(1800, 1920, 2175, 255));

    // Screen readers name a box by its label, not by the frame around it.
    const std::pair<QLabel *, QWidget *> labelled[] = {
        {m_abilityLabel, m_abilityChoices}, {m_shieldLabel, m_shieldChoices},
        {m_howManyLabel, m_howManyBox}, {m_howManyLabel, m_howManyScroll},
        {m_missileLabel, m_missileChoices}, {m_weaponNameLabel, m_weaponNameBox},
        {m_damageLabel, m_damageBox}, {m_rankLabel, m_rankBox}, {m_headingLabel, m_headingBox}};
    for (const auto &[label, control] : labelled) {
        if (control != m_howManyScroll)
            label->setBuddy(control);
        control->setAccessibleName(AccessibleName(label->text()));
    }
    m_tableLabel->setBuddy(m_browseButton);
    m_tableCaption->setAccessibleName(AccessibleName(m_tableLabel->text()));
    m_tableFiles->setAccessibleName(QStringLiteral("Weapon table files"));

    // CommonDialog1, the save dialog, is not a widget here: the listing window asks Prompts
    // for a file name whenever it saves.

    QWidget *const tabOrder[] = {
        m_systemChoices[0], m_systemChoices[1], m_systemChoices[2], m_abilityChoices,
        m_browseButton, m_shieldChoices, m_howManyBox, m_howManyScroll, m_missileChoices,
        m_forceWeaponBox, m_weaponNameBox, m_damageBox, m_rankBox, m_tableFiles,
        m_generateButton, m_exitButton, m_displayButton, m_headingBox};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(m_systemChoices[0], &QRadioButton::toggled, this, [this](bool selected) {
        if (selected)
            switchSystem(GameSystem::RuneQuest);
    });
    connect(m_systemChoices[1], &QRadioButton::toggled, this, [this](bool selected) {
        if (selected)
            switchSystem(GameSystem::Traveller);
    });
    connect(m_abilityChoices, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_settings.AbilityLevel = EntryCode(m_abilityChoices, index); });
    connect(m_shieldChoices, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_settings.ShieldChoice = EntryCode(m_shieldChoices, index); });
    connect(m_missileChoices, &QComboBox::currentIndexChanged, this, [this](int index) {
        const QString code = EntryCode(m_missileChoices, index);
        if (!code.isEmpty() && code.at(0).isDigit())
            m_settings.MissileOdds = static_cast<qint16>(code.at(0).digitValue());
    });
    connect(m_howManyBox, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_settings.HowMany = static_cast<float>(NumericValue(text));
    });
    // One way only: typing into "How many?" leaves the scroll bar where it stands.
    connect(m_howManyScroll, &QScrollBar::valueChanged, this,
            [this](int position) { m_howManyBox->setText(QString::number(position)); });
    connect(m_forceWeaponBox, &QCheckBox::clicked, this, [this](bool ticked) {
        for (QLineEdit *box : {m_weaponNameBox, m_damageBox, m_rankBox})
            box->setEnabled(ticked);
    });
    connect(m_browseButton, &QPushButton::clicked, this, &Form2::browse);
    connect(m_generateButton, &QToolButton::clicked, this, &Form2::generate);
    connect(m_displayButton, &QToolButton::clicked, this, &Form2::display);
    connect(m_exitButton, &QToolButton::clicked, this, &QDialog::accept);
}

void Form2::load()
{
    setWindowTitle(m_settings.Title);
    m_weaponNameBox->clear();
    m_damageBox->clear();
    m_rankBox->clear();

    // Filling a list moves its selection through the first entry; only the entry selected in
    // the end is chosen, and choosing it runs the same handler as the user's choice.
    // The entries are the engine's; the one selected is the request's start-up choice.
    const auto fill = [](QComboBox *combo, std::span<const RequestChoice> choices, char16_t selected) {
        int selectedIndex = -1;
        {
            const QSignalBlocker quiet(combo);
            for (const RequestChoice &choice : choices) {
                if (choice.code == selected)
                    selectedIndex = combo->count();
                combo->addItem(choice.entry.toString());
            }
            combo->setCurrentIndex(-1);
        }
        combo->setCurrentIndex(selectedIndex);
    };
    const RabbleRequest initial;
    fill(m_abilityChoices, AbilityLevelChoices(), initial.abilityLevel);
    m_tableCaption->clear();
    fill(m_shieldChoices, ShieldChoices(), initial.shieldChoice);
    fill(m_missileChoices, MissileChoices(), char16_t(u'0' + initial.missileOdds));
}

void Form2::showTableCaption(const QString &caption)
{
    setTableCaption(caption);
}

void Form2::setTableCaption(const QString &caption)
{
    m_tableCaption->setText(FromWindows1252(caption));
    m_tableCaption->setToolTip(DrawProblems(m_settings).join(u'\n'));
    FitCaptions(*this);
}

void Form2::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitCaptions(*this);
}

GameSystem Form2::selectedSystem() const
{
    if (m_systemChoices[0]->isChecked())
        return GameSystem::RuneQuest;
    if (m_systemChoices[1]->isChecked())
        return GameSystem::Traveller;
    return GameSystem::None;
}

void Form2::switchSystem(GameSystem system)
{
    const bool runeQuest = system == GameSystem::RuneQuest;
    // Hidden, the shield and missile lists keep their selections for the way back.
    for (QWidget *choice :
         {static_cast<QWidget *>(m_shieldLabel), static_cast<QWidget *>(m_shieldChoices),
          static_cast<QWidget *>(m_missileLabel), static_cast<QWidget *>(m_missileChoices)})
        choice->setVisible(runeQuest);
    m_rankLabel->setText(RankCaption(system));
    m_rankBox->setAccessibleName(AccessibleName(m_rankLabel->text()));
    FitCaptions(*this);
    loadTable(DefaultTablePath(m_settings.DBLoc, system));
}

void Form2::loadTable(const QString &path)
{
    const Result<QString> loaded = LoadWeaponTable(m_settings, path);
    if (loaded) {
        setTableCaption(loaded.value());
    } else {
        m_prompts.message(this, loaded.reason());   // the table loaded before stays in use
    }
}

void Form2::browse()
{
    m_tableFiles->clear();
    const TableCatalogue catalogue = OfferedWeaponTables(m_settings.DBLoc);
    const QList<OfferedTable> &tables = catalogue.offered;
    for (const OfferedTable &table : tables)
        m_tableFiles->addItem(table.fileName);
    // Under every page: what could not be offered and why, or that the folder is gone.
    const QString note = LeftOutNote(catalogue);

    // Paged when the tables outnumber one pick list: a full page ends in "More tables…" and
    // "Abandon", and the numbers of a page count from 1 as on any pick list.
    const QString more = QStringLiteral("More tables\u2026");
    const int count = static_cast<int>(tables.size());
    int first = 0;
    int chosenRow = -1;
    for (;;) {
        const bool lastPage = count - first <= PickListEntries - 1;
        const int onPage = lastPage ? count - first : PickListEntries - 2;
        QStringList choices;
        for (int row = first; row < first + onPage; ++row)
            choices << FromWindows1252(tables.at(row).caption);
        if (!lastPage)
            choices << more;
        choices << QStringLiteral("Abandon");
        const std::optional<int> chosen = m_prompts.pickFromList(
            this, choices.join(u'/'), QStringLiteral("Select weapon table"), note);
        if (!chosen)
            return;   // the list closed without a choice
        if (*chosen >= 1 && *chosen <= onPage) {
            chosenRow = first + *chosen - 1;
            break;
        }
        if (lastPage || *chosen != onPage + 1)
            return;   // "Abandon"
        first += onPage;
    }

    const QString previousCaption = WholeCaption(*m_tableCaption);
    setTableCaption(tables.at(chosenRow).caption);
    const Result<QString> loaded =
        LoadWeaponTable(m_settings, TablePath(m_settings.DBLoc, m_tableFiles->item(chosenRow)->text()));
    if (loaded) {
        setTableCaption(loaded.value());
    } else {
        setTableCaption(previousCaption);
        m_prompts.message(this, loaded.reason());
    }
}

void Form2::generate()
{
    // "abc" reads as 0, as the box always read it, but nobody asks for an empty rabble so.
    if (!LeadingNumber(m_howManyBox->text())) {
        m_prompts.message(this, QStringLiteral("\"%1\" is not a number: type how many fighters to "
                                               "make, from 0 to %2.")
                                    .arg(WholeCaption(*m_howManyLabel), QString::number(MaxMembers)));
        return;
    }
    const GameSystem system = selectedSystem();
    if (system == GameSystem::None)
        return;
    // The choices are in Settings already, as they were made; the forced weapon is read now.
    RabbleRequest request;
    request.system = system;
    request.howMany = m_settings.HowMany;
    request.abilityLevel = m_settings.AbilityLevel.first().unicode();
    request.shieldChoice = m_settings.ShieldChoice.first().unicode();
    request.missileOdds = m_settings.MissileOdds;
    request.weapon = {m_forceWeaponBox->isChecked(), m_weaponNameBox->text(), m_damageBox->text(),
                      m_rankBox->text()};
    request.heading = m_headingBox->text();
    // Refused before any member changes.
    if (const Outcome applied = ApplyRequest(request, m_settings); !applied) {
        m_prompts.message(this, refusal(applied));
        return;
    }
    MessageBoxSink notices(m_prompts, this);
    // Each rabble from a seed of its own, drawn from the dice, which its JSON and export name:
    // the command makes the same rabble again from it. 53 bits: exact in every JSON reader.
    m_dice.reseed(quint64(std::ldexp(m_dice.next(), 53)));
    const Outcome made = GenerateRabble(system, m_settings, m_dice, &notices);
    if (!made) {
        m_prompts.message(this, refusal(made));
        return;
    }
    listingWindow().showListing(BuildListing(system, m_settings));
    showListingWindow();
}

QString Form2::refusal(const Outcome &refused) const
{
    const QString &field = refused.subject();
    if (field == RequestField::Count)
        return QStringLiteral("\"%1\" must be at most %2.")
            .arg(WholeCaption(*m_howManyLabel), QString::number(MaxMembers));
    if (field == RequestField::Table)
        return QStringLiteral("No weapon table is loaded. Choose one with \"%1\", select a game "
                              "system again to load its standard table, or tick \"%2\".")
            .arg(WholeCaption(*m_browseButton), WholeCaption(*m_forceWeaponBox));
    if (field == RequestField::Weapon)
        return QStringLiteral("The forced weapon's \"%1\" may not start with \"*\", which means "
                              "\"draw from the table\".")
            .arg(AccessibleName(WholeCaption(*m_weaponNameLabel)));
    if (field == RequestField::Rank)
        return QStringLiteral("\"%1\" must be between -32768 and 32767.").arg(WholeCaption(*m_rankLabel));
    return refused.reason();
}

void Form2::display()
{
    showListingWindow();
}

void Form2::showListingWindow()
{
    Form3 &listing = listingWindow();
    listing.setHeading(m_headingBox->text());
    m_prompts.showModal(listing);
}

Form3 &Form2::listingWindow()
{
    if (!m_form3) {
        m_form3 = new Form3(m_settings, m_prompts, this);
        // The heading the user gives when saving or printing is this window's from then on.
        connect(m_form3, &Form3::headingChanged, m_headingBox, &QLineEdit::setText);
    }
    return *m_form3;
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    // Escape would reject the dialog, which here is the whole program; only Exit or the frame
    // end it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    // Enter presses the focused button; anywhere else (a text box, a list) it generates, as the
    // default button of a dialog does.
    if (IsEnter(*event)) {
        if (!PressFocusedButton(*this))
            m_generateButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace throngkit
