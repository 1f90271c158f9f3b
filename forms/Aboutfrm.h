#pragma once

#include "Dlg.h"

#include <QByteArray>

class QLabel;
class TVersionInfo;
namespace Ui {
class TAboutForm;
}

// The personal texts, kept only as Encrypt gives them: the author's name, the maker's name and
// the copyright line. The contact address is kept the same way in the link's click handler.
extern const QByteArray ScrambledAuthor;
extern const QByteArray ScrambledMaker;
extern const QByteArray ScrambledCopyright;

// Shows the program's name, who wrote it and where bugs and requests go, over a photograph,
// and the description, copyright, version and comments of the running executable. Both names
// are links to the contact address. OK or Enter closes it; Esc does not.
class TAboutForm : public TDialog
{
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *owner);
    ~TAboutForm() override;

    QLabel *Image1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label6;
    QFrame *Bevel2;
    QLabel *Image2;
    QLabel *Label7;
    QLabel *Label8;
    QLabel *Label9;

    // The handlers, public so that tests can call them directly.
    void FormCreate();
    void FormDestroy();
    void Label7Click();

    // The version record shown, while the window lives.
    const TVersionInfo *versionInfo() const { return VersionInfo.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QLabel *> textLabels() const;
    void applyLabelLook();
    void fitLabelsToText();

    std::unique_ptr<Ui::TAboutForm> m_ui;
    std::unique_ptr<TVersionInfo> VersionInfo;
};

// Opens the About window over owner and returns when the user has closed it.
void ShowAboutWindow(QWidget *owner);
