#include "support/TestHangGuards.h"

#include "support/HangGuard.h"

#include <QByteArray>
#include <QtGlobal>

#include <memory>
#include <string>

namespace {

class HangGuardPerTest : public testing::EmptyTestEventListener {
public:
    explicit HangGuardPerTest(std::chrono::seconds limit)
        : m_limit(limit)
    {}

    void OnTestStart(const testing::TestInfo& test) override
    {
        m_guard = std::make_unique<HangGuard>(m_limit, std::string("test ") + test.test_suite_name() + "."
                                                           + test.name());
    }
    void OnTestEnd(const testing::TestInfo&) override { m_guard.reset(); }

private:
    std::chrono::seconds m_limit;
    std::unique_ptr<HangGuard> m_guard;
};

} // namespace

namespace TestHangGuards {

void installFromEnvironment()
{
    bool valid = false;
    const int seconds = qEnvironmentVariableIntValue("TOMEFOLD_TEST_HANG_SECONDS", &valid);
    if (!valid || seconds <= 0)
        return;
    // The listener list owns what it is given.
    testing::UnitTest::GetInstance()->listeners().Append(new HangGuardPerTest(std::chrono::seconds(seconds)));
}

} // namespace TestHangGuards
