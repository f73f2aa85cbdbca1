#pragma once

#include "api/OrvellaAPIClient.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace orvella::test {

// A service double and a client pointed at it, with an empty cache folder of its own.
class ClientFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.start());
        qputenv("ORVELLA_API_BASE", service.origin().toString().toUtf8());
        APIClientOptions options;
        options.cacheDirectory = cacheFolder.path();
        client = std::make_unique<OrvellaAPIClient>(options);
    }
    void TearDown() override
    {
        client.reset();
        qunsetenv("ORVELLA_API_BASE");
    }

    [[nodiscard]] RecordedRequest lastRequest() const { return service.requests().last(); }

    ServiceDouble service;
    QTemporaryDir cacheFolder;
    std::unique_ptr<OrvellaAPIClient> client;
};

// The transport failure an operation ends with; a test failure when it ends otherwise.
template<class Task>
TransportError transportFailure(Task task)
{
    try {
        runTask(std::move(task));
    } catch (const TransportError &error) {
        return error;
    } catch (const DescribedError &error) {
        ADD_FAILURE() << "not a transport failure: " << error.description().toStdString();
        return TransportError(TransportError::Kind::Cancelled);
    }
    ADD_FAILURE() << "no failure";
    return TransportError(TransportError::Kind::Cancelled);
}

} // namespace orvella::test
