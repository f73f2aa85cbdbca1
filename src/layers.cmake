# The layer libraries below the QML module. Each folder lists its files in its own files.cmake,
# appending to ORVELLA_<LAYER>_SOURCES (paths relative to src/).
#
#   orvella_base      base/      the failure base type every layer shares (Qt Core)
#   orvella_api       api/       service answers, their decoders and the client (Qt Network,
#                                Qt Concurrent, QCoro)
#   orvella_platform  platform/  mpv and FFmpeg (opened at run time), OpenCV, Qt Multimedia,
#                                D-Bus, qrencode
#
# A layer's sources include "<folder>/File.h"; its include path is a folder that holds only a
# link to <folder>, so including anything above it (core/, player/, ...) fails to build.

function(orvella_add_layer target folder)
    set(sources ${ARGN})
    list(TRANSFORM sources PREPEND ${PROJECT_SOURCE_DIR}/src/)
    add_library(${target} STATIC ${sources})
    set(root ${CMAKE_BINARY_DIR}/layers/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} PUBLIC ${root})
endfunction()

function(orvella_read_files folder)
    set(ORVELLA_SOURCES)
    include(${PROJECT_SOURCE_DIR}/src/${folder}/files.cmake)
    string(TOUPPER ${folder} layer)
    if(ORVELLA_SOURCES)
        message(FATAL_ERROR "src/${folder}/files.cmake: list ${ORVELLA_SOURCES} in "
            "ORVELLA_${layer}_SOURCES (the ${folder} library), not ORVELLA_SOURCES")
    endif()
    set(ORVELLA_${layer}_SOURCES ${ORVELLA_${layer}_SOURCES} PARENT_SCOPE)
endfunction()

orvella_read_files(base)
orvella_add_layer(orvella_base base ${ORVELLA_BASE_SOURCES})
target_link_libraries(orvella_base PUBLIC Qt6::Core)

orvella_read_files(api)
orvella_add_layer(orvella_api api ${ORVELLA_API_SOURCES})
target_link_libraries(orvella_api PUBLIC orvella_base Qt6::Core Qt6::Network Qt6::Concurrent
    QCoro6::Core QCoro6::Network)
target_compile_definitions(orvella_api PUBLIC ORVELLA_APP_VERSION="${PROJECT_VERSION}")

if(ORVELLA_FUZZ)
    # The fuzz build needs only the readers of what the network sends: the answer decoders, and
    # the platform's playlist and caption readers (Qt Core alone).
    orvella_add_layer(orvella_platform_readers platform
        platform/HlsPlaylist.cpp platform/HlsPlaylistCut.cpp platform/WebVttCues.cpp)
    target_link_libraries(orvella_platform_readers PUBLIC Qt6::Core)
    return()
endif()

orvella_read_files(platform)
orvella_add_layer(orvella_platform platform ${ORVELLA_PLATFORM_SOURCES})
target_link_libraries(orvella_platform PUBLIC orvella_base
    Qt6::Core Qt6::Gui Qt6::Network Qt6::Quick Qt6::OpenGL Qt6::DBus Qt6::Multimedia
    Qt6::Concurrent QCoro6::Core QCoro6::Network
    PkgConfig::QRENCODE opencv_core opencv_imgproc opencv_dnn ${CMAKE_DL_LIBS})
# libmpv and FFmpeg are opened at run time (platform/MpvLibrary.h, platform/FfmpegLibrary.h):
# their headers only. For libmpv also the libraries it loads, in an order where each needs only
# those before it, so they can be opened one by one ahead of it; the list only speeds that up, and
# one that no longer fits the machine is harmless.
target_include_directories(orvella_platform SYSTEM PUBLIC ${OpenCV_INCLUDE_DIRS} ${MPV_INCLUDE_DIRS}
    ${FFMPEG_INCLUDE_DIRS})
find_library(ORVELLA_MPV_LIBRARY NAMES mpv HINTS ${MPV_LIBRARY_DIRS})
set(mpv_dependencies "")
if(ORVELLA_MPV_LIBRARY)
    execute_process(COMMAND ldd ${ORVELLA_MPV_LIBRARY} OUTPUT_VARIABLE ldd_output
        RESULT_VARIABLE ldd_result ERROR_QUIET)
    if(ldd_result EQUAL 0)
        string(REGEX MATCHALL "[^ \t\n]+ => /" ldd_entries "${ldd_output}")
        list(REVERSE ldd_entries)
        foreach(entry IN LISTS ldd_entries)
            string(REGEX REPLACE " => /$" "" soname "${entry}")
            string(APPEND mpv_dependencies "    \"${soname}\",\n")
        endforeach()
    endif()
endif()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/MpvDependencies.inc
    CONTENT "${mpv_dependencies}")
target_include_directories(orvella_platform PRIVATE ${CMAKE_BINARY_DIR}/generated)
# The QML module registers some platform types as foreign types: it reads their metatypes.
qt_extract_metatypes(orvella_platform)
