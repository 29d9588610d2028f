# fare_expose_headers(target folder): the target's include root shows its own folder and
# nothing else, so that `#include "folder/header.h"` finds a header only for targets that link
# the library owning it, and the build refuses what the layers refuse.
#
# The root is a directory in the build tree holding one symbolic link, <folder> -> the source
# folder: headers stay where they are, a new header is seen at once, and the include lines keep
# their "folder/header.h" form. A base directory of src/ itself would show every folder.
function(fare_expose_headers target folder)
    set(root ${CMAKE_BINARY_DIR}/include-roots/${folder})
    set(link ${root}/${folder})
    if(IS_SYMLINK ${link})
        file(READ_SYMLINK ${link} points_to)
        if(NOT points_to STREQUAL CMAKE_CURRENT_SOURCE_DIR)
            file(REMOVE ${link})
        endif()
    endif()
    if(NOT IS_SYMLINK ${link})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${link} SYMBOLIC)
    endif()
    target_include_directories(${target} PUBLIC ${root})
endfunction()
