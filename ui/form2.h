#pragma once

// The configuration window: the user's choices, written into Settings as they are made, and the
// Browse, Generate, Display and Exit actions.
#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

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
class Form3;
class PickList;
class Prompts;
enum class GameSystem;

class Form2 : public QDialog
{
    Q_OBJECT

public:
    // Shows a pick list of "/"-separated choices under a title and returns the number (from 1)
    // of the entry chosen, 0 when none was.
    using Picker = std::function<int(const QString &choiceText, const QString &title)>;

    Form2(Settings &settings, Dice &dice, Prompts &prompts, QWidget *parent = nullptr);
    ~Form2() override;

    // The weapon-table label (Label3); start-up fills it after the load.
    void ShowTableCaption(const QString &caption);

    // Replaces the pick list that Browse shows (tests answer it themselves).
    void SetPicker(Picker picker);

    // The listing window, created on first use.
    Form3 &ListingWindow();

    // The button actions.
    void Browse();
    void Generate();
    void Display();

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

    Settings &m_settings;
    Dice &m_dice;
    Prompts &m_prompts;
    Picker m_picker;
    std::unique_ptr<PickList> m_pickList;
    Form3 *m_form3 = nullptr;

    QGroupBox *m_frame1 = nullptr;
    QRadioButton *m_option1[3] = {};
    QGroupBox *m_frame2 = nullptr;
    QLabel *m_label1 = nullptr;
    QComboBox *m_combo1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QPushButton *m_command1 = nullptr;
    QLabel *m_label4 = nullptr;
    QComboBox *m_combo2 = nullptr;
    QLabel *m_label5 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QScrollBar *m_flatScrollBar1 = nullptr;
    QLabel *m_label6 = nullptr;
    QComboBox *m_combo3 = nullptr;
    QGroupBox *m_frame3 = nullptr;
    QCheckBox *m_check1 = nullptr;
    QLabel *m_label7 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QLabel *m_label8 = nullptr;
    QLineEdit *m_text3 = nullptr;
    QLabel *m_label9 = nullptr;
    QLineEdit *m_text4 = nullptr;
    QListWidget *m_list1 = nullptr;
    QGroupBox *m_frame4 = nullptr;
    QToolButton *m_command3 = nullptr;
    QToolButton *m_command4 = nullptr;
    QToolButton *m_command5 = nullptr;
    QLineEdit *m_text5 = nullptr;
    QLabel *m_label10 = nullptr;
};

} // namespace throngkit
