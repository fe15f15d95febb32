#pragma once

// The configuration window: the user's choices, written into Settings as they are made, and the
// Browse, Generate, Display and Exit actions.
#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QToolButton;

namespace throngkit {

struct Settings;
class Dice;
class Outcome;
class Form3;
class Prompts;
enum class GameSystem;

class Form2 : public QDialog
{
    Q_OBJECT

public:
    Form2(Settings &settings, Dice &dice, Prompts &prompts, QWidget *parent = nullptr);
    ~Form2() override;

    // The weapon-table label (Label3); start-up fills it after the load.
    void showTableCaption(const QString &caption);

    // The listing window, created on first use.
    Form3 &listingWindow();

    // The button actions.
    void browse();
    void generate();
    void display();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    void load();
    void switchSystem(GameSystem system);
    void loadTable(const QString &path);
    void setTableCaption(const QString &caption);
    GameSystem selectedSystem() const;
    // An engine's refusal in the words of this window's controls.
    QString refusal(const Outcome &refused) const;
    void showListingWindow();

    Settings &m_settings;
    Dice &m_dice;
    Prompts &m_prompts;
    Form3 *m_form3 = nullptr;

    QGroupBox *m_systemFrame = nullptr;
    QRadioButton *m_systemChoices[3] = {};
    QGroupBox *m_settingsFrame = nullptr;
    QLabel *m_abilityLabel = nullptr;
    QComboBox *m_abilityChoices = nullptr;
    QLabel *m_tableLabel = nullptr;
    QLabel *m_tableCaption = nullptr;
    QPushButton *m_browseButton = nullptr;
    QLabel *m_shieldLabel = nullptr;
    QComboBox *m_shieldChoices = nullptr;
    QLabel *m_howManyLabel = nullptr;
    QLineEdit *m_howManyBox = nullptr;
    QScrollBar *m_howManyScroll = nullptr;
    QLabel *m_missileLabel = nullptr;
    QComboBox *m_missileChoices = nullptr;
    QGroupBox *m_overrideFrame = nullptr;
    QCheckBox *m_forceWeaponBox = nullptr;
    QLabel *m_weaponNameLabel = nullptr;
    QLineEdit *m_weaponNameBox = nullptr;
    QLabel *m_damageLabel = nullptr;
    QLineEdit *m_damageBox = nullptr;
    QLabel *m_rankLabel = nullptr;
    QLineEdit *m_rankBox = nullptr;
    QListWidget *m_tableFiles = nullptr;
    QGroupBox *m_actionsFrame = nullptr;
    QToolButton *m_generateButton = nullptr;
    QToolButton *m_exitButton = nullptr;
    QToolButton *m_displayButton = nullptr;
    QLineEdit *m_headingBox = nullptr;
    QLabel *m_headingLabel = nullptr;
};

} // namespace throngkit
