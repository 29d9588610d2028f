# Fails when a source file includes a header of a layer above its own, so that the layers hold:
# app -> the views -> core and formats -> platform. Run by CTest (test "layers"):
#   cmake -DSOURCE_DIR=<repository> -P cmake/CheckLayers.cmake
#
# Each folder of src/ names the folders whose headers it may include (its own included).
cmake_minimum_required(VERSION 3.25)

set(allowed_platform platform)
set(allowed_formats formats platform)
set(allowed_core core formats platform)
set(allowed_dialogs dialogs formats platform)
set(allowed_audio audio platform)
set(allowed_speech speech audio core platform)
set(allowed_elements elements dialogs core platform)
set(allowed_sound sound speech audio core formats platform)
set(allowed_tickets tickets elements dialogs core formats platform)
set(allowed_options options tickets elements speech sound audio dialogs core formats platform)
set(allowed_operation operation options tickets elements sound speech audio dialogs core formats
    platform)
set(allowed_app app operation options tickets elements sound speech audio dialogs core formats
    platform)
# The tools: hy3tool reads the file formats only; iconmaker draws the program's icon.
set(allowed_hy3tool hy3tool formats core platform)
set(allowed_iconmaker iconmaker app platform)

# The platform headers that need QtGui or QtWidgets: the layers without widgets never use them.
set(gui_platform_headers platform/colorconversion.h platform/fontmap.h platform/msgbox.h
    platform/shell.h)
set(widget_free_folders platform formats core)
set(widget_free_platform_sources bytestring cp932 filelookup runtimeerror samplesfolder
    textencoding wait)
# Qt modules whose headers the layers without widgets never include.
set(gui_modules QtGui QtWidgets)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
     ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/tools/*.h ${SOURCE_DIR}/tools/*.cpp)

set(failures "")
foreach(source IN LISTS sources)
    if(source MATCHES "^src/([^/]+)/")
        set(folder ${CMAKE_MATCH_1})
    elseif(source MATCHES "^tools/([^/]+)/")
        set(folder ${CMAKE_MATCH_1})
    else()
        continue() # src/main.cpp: the executable, above every layer
    endif()
    if(NOT DEFINED allowed_${folder})
        list(APPEND failures "${source}: the folder '${folder}' has no place in the layers")
        continue()
    endif()
    get_filename_component(stem ${source} NAME_WE)
    set(widget_free FALSE)
    if(folder IN_LIST widget_free_folders)
        set(widget_free TRUE)
        if(folder STREQUAL "platform" AND NOT stem IN_LIST widget_free_platform_sources)
            set(widget_free FALSE)
        endif()
    endif()
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
        if(line MATCHES "#[ \t]*include[ \t]*\"([^/\"]+)/[^\"]*\"")
            set(target_folder ${CMAKE_MATCH_1})
            string(REGEX REPLACE ".*\"([^\"]*)\".*" "\\1" header "${line}")
            if(NOT target_folder IN_LIST allowed_${folder})
                list(APPEND failures "${source}: includes ${header}, above its layer")
            elseif(widget_free AND header IN_LIST gui_platform_headers)
                list(APPEND failures "${source}: includes ${header}, which needs widgets")
            endif()
        elseif(widget_free AND line MATCHES "#[ \t]*include[ \t]*<(Qt[A-Za-z]+)/")
            if(CMAKE_MATCH_1 IN_LIST gui_modules)
                list(APPEND failures "${source}: includes a ${CMAKE_MATCH_1} header")
            endif()
        endif()
    endforeach()
endforeach()

if(failures)
    list(JOIN failures "\n" text)
    message(FATAL_ERROR "Includes that break the layers:\n${text}")
endif()
list(LENGTH sources count)
message(STATUS "layers hold in ${count} files")
