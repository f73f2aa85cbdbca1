#include "base/DescribedError.h"

namespace orvella {

const char *DescribedError::what() const noexcept
{
    if (m_what.isEmpty())
        m_what = description().toUtf8();
    return m_what.constData();
}

} // namespace orvella
