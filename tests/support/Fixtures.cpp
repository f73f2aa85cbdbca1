#include "support/Fixtures.h"

namespace orvella::test {

QString fixtureDirectory()
{
    // The tool takes the folder from the environment when it runs outside its build tree.
    const QString overridden = qEnvironmentVariable("ORVELLA_FIXTURE_DIR");
    return overridden.isEmpty() ? QStringLiteral(ORVELLA_FIXTURE_DIR) : overridden;
}

QString fixturePath(const QString &relative)
{
    return fixtureDirectory() + u'/' + relative;
}

QString sampleDirectory()
{
    return QStringLiteral(ORVELLA_SAMPLE_DIR);
}

} // namespace orvella::test
