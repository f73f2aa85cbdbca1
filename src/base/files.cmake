# What every layer shares: the failure base type.
list(APPEND ORVELLA_BASE_SOURCES
    base/DescribedError.h base/DescribedError.cpp
)
