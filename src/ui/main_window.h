#pragma once

// moc cannot parse the controls' Chinese names and needs nothing from these headers.
#ifndef Q_MOC_RUN
#include "ui/event_bindings.h"
#include "ui/window.h"
#endif

#include <array>
#include <vector>

#include <QSize>
#include <QWidget>

class QLineEdit;
class QMessageBox;
class QPushButton;

namespace vantrel {

class ListViewWidget;

// The program's only window: the forum name box, the four command buttons and the two
// lists, at fixed positions. While it lives it is what window() answers for.
class MainWindow final : public QWidget, public WindowOperations
{
    Q_OBJECT

public:
    // The outer size, frame and title bar included.
    static constexpr QSize kOuterSize{865, 326};

    // Creates the window hidden with its controls and runs the created event's handler.
    explicit MainWindow(const EventBindings& bindings = kEventBindings);
    ~MainWindow() override;

    // Shows the window for the first time, centred on its screen.
    void showCentred();

    void SetDisabled(Button button, bool disabled) override;
    Text GetEditText() const override;
    void DeleteAllRows(ListView list) override;
    int AppendRow(ListView list) override;
    void SetCellText(ListView list, int row, int column, const Text& text) override;
    Text GetCellText(ListView list, int row, int column) const override;
    int RowCount(ListView list) const override;
    int ShowMessage(const Text& text, int buttons = 0) override;
    bool PumpEvents() override;
    bool WaitForEvents(int maxMilliseconds) override;
    bool IsClosed() const override;

signals:
    // The window has been closed; it stays alive, hidden, until its owner destroys it.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void fitOuterSize();

    QLineEdit* m_editBox = nullptr;
    std::array<QPushButton*, 4> m_buttons{};  // indexed by Button
    std::array<ListViewWidget*, 2> m_lists{}; // indexed by ListView
    std::vector<QMessageBox*> m_openMessages; // innermost last
    QSize m_frameMargins;
    bool m_closed = false;
};

} // namespace vantrel
