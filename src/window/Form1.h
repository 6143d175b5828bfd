#pragma once

#include "system/Runtime.h"

#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class Form1;
class EmulationPage;
class OptionsPage;
class AboutPage;
} // namespace Ui

// The program's one window. Its controls hold all of the state: the chosen drive, folder and
// file, the ROM path and the options. The handlers below react to the controls' events.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(Runtime& runtime, QWidget* parent = nullptr);
    ~Form1() override;

    // True when `Filename` is in the current folder; otherwise warns the user and gives false.
    bool FileExist(const QString& Filename);
    // The flags of the ticked options, in their fixed order.
    QString CheckOptions() const;

    // Showing the window also fills its Emulation page, once the window is mapped and before the
    // event loop draws its first frame.
    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Fills the Emulation page once the window is on the screen, before its first frame.
    void makeEmulationPage();
    // Fills the Options and About pages, which nobody sees before the first frame is out.
    void makeHiddenPages();
    // FileExist that also hands over what the probe found, for the start to use.
    bool FileExist(const QString& Filename, Runtime::Program* found);
    // Starts the emulator found by FileExist with `commandLine`, or says why it could not.
    void startEmulator(const Runtime::Program& emulator, const QString& commandLine);

    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void Dir1_Error(const QString& message);
    void File1_Click();
    void File1_DblClick();
    void File1_Error(const QString& message);
    void Pce_Click();
    void Cd_Click();
    void Help_Click();

    QScopedPointer<Ui::Form1> m_ui;
    QScopedPointer<Ui::EmulationPage> m_emulation;
    QScopedPointer<Ui::OptionsPage> m_options;
    QScopedPointer<Ui::AboutPage> m_about;
    Runtime& m_runtime;
};
