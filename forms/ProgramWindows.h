#pragma once

#include <QObject>
#include <memory>

class PickerReach;
class ProgramInstance;
class TForm1;
class TPickForm;

// The program's windows as a start or the desktop asks for them: the main window, brought to
// the front, or the picker over whatever the user works in.
class ProgramWindows : public QObject
{
    Q_OBJECT

public:
    explicit ProgramWindows(TForm1 &form);
    ~ProgramWindows() override;

    // Shows the first window of a start. A start for the picker shows the main window only
    // once the picker closes, minimized, so that the focus goes back to where the user was,
    // and the program stays to hold the clipboard.
    void start(bool pick);
    // Answers the starts that hand over to this program.
    void answer(ProgramInstance &instance);

    void showMainWindow();
    void openPicker();
    TPickForm *picker() const { return m_picker.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TForm1 &m_form;
    std::unique_ptr<PickerReach> m_reach;
    std::unique_ptr<TPickForm> m_picker;
};
