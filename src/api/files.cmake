list(APPEND ORVELLA_API_SOURCES
    api/ApiLog.h api/ApiLog.cpp
    api/ServiceOrigin.h api/ServiceOrigin.cpp
    api/ServiceRedirects.h api/ServiceRedirects.cpp
    api/WebLink.h api/WebLink.cpp
    api/APIError.h api/APIError.cpp
    api/FlexibleID.h
    api/HeaderText.h
    api/Identity.h
    api/JsonDecoding.h api/JsonDecoding.cpp
    api/JSONValue.h api/JSONValue.cpp
    api/APIEnvelope.h api/APIEnvelope.cpp
    api/MediaURL.h api/MediaURL.cpp
    api/ConfigModels.h api/ConfigModels.cpp
    api/ContentModels.h api/ContentModels.cpp
    api/AccountModels.h api/AccountModels.cpp
    api/ScheduleData.h api/ScheduleData.cpp
    api/AnswerDecoding.h api/AnswerDecoding.cpp
    api/KeychainStore.h api/KeychainStore.cpp
    api/JsonBodyWriter.h api/JsonBodyWriter.cpp
    api/RequestBody.h api/RequestBody.cpp
    api/MultipartForm.h api/MultipartForm.cpp
    api/DecodeExecutor.h api/DecodeExecutor.cpp
    api/OrvellaAPIClient.h api/OrvellaAPIClient.cpp
    api/OrvellaAPIEndpoints.cpp
    api/TestimonyUpload.cpp
)
