#include "api/DecodeExecutor.h"

namespace orvella {

namespace {
// Answers are decoded one per thread; two let a large answer not hold up the next small one.
constexpr int decodingThreads = 2;
} // namespace

DecodeExecutor::DecodeExecutor()
{
    m_pool.setMaxThreadCount(decodingThreads);
    m_pool.setObjectName(QStringLiteral("orvella-api-decode"));
}

DecodeExecutor::~DecodeExecutor()
{
    m_pool.waitForDone();
}

} // namespace orvella
