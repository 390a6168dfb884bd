#pragma once

#include "app/shared_objects.h"
#include "harvest/fetch_url.h"
#include "harvest/forum_base.h"
#include "harvest_test_support.h"
#include "support/test_server.h"
#include "support/window_driver.h"
#include "ui/main_window.h"
#include "web/code_page.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <QTimer>

namespace vantrel::test {

// The real window, fresh shared objects and a loopback server standing in for the forum
// service (its address is the forum base), with no proxy from the environment.
class CommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetForumBase(m_server.url());
        InitGlobals();
        m_window = std::make_unique<MainWindow>();
        ASSERT_TRUE(showMainWindow(*m_window));
    }

    void TearDown() override
    {
        m_window.reset();
        ReleaseFetchUrlHandle();
        ReleaseGlobals();
        SetForumBase({});
    }

    void typeForumName(const char* utf8)
    {
        control<QLineEdit>(*m_window, "编辑框1")->setText(QString::fromUtf8(utf8));
    }

    void click(const char* button)
    {
        QTest::mouseClick(control<QPushButton>(*m_window, button), Qt::LeftButton);
    }

    bool isEnabled(const char* button)
    {
        return control<QPushButton>(*m_window, button)->isEnabled();
    }

    // The window closes at the first moment the running command lets events run.
    void closeAtFirstEvents()
    {
        QTimer::singleShot(0, m_window.get(), [this] { m_window->close(); });
    }

    // The texts of one column, converted to UTF-8 so that failures read plainly.
    std::vector<std::string> column(ListView list, int columnIndex) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < m_window->RowCount(list); ++row)
            texts.push_back(LocalToUtf8(m_window->GetCellText(list, row, columnIndex)));
        return texts;
    }

    // The targets of every request the server saw, in order.
    std::vector<std::string> targets() const
    {
        std::vector<std::string> seen;
        for (const ReceivedRequest& request : m_server.requests())
            seen.push_back(request.target);
        return seen;
    }

    ScopedEnvironment m_httpProxy{"http_proxy", std::nullopt};
    ScopedEnvironment m_httpsProxy{"https_proxy", std::nullopt};
    ScopedEnvironment m_allProxy{"all_proxy", std::nullopt};
    ScopedEnvironment m_noProxy{"no_proxy", std::nullopt};
    TestServer m_server;
    std::unique_ptr<MainWindow> m_window;
};

inline QString qs(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace vantrel::test
