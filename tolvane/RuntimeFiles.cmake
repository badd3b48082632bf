# Puts the viewer's res/ files into a program folder's res/: run by the build for build/bin,
# build/tests and build/bench, and by the install step.
#   cmake -DSOURCE=<tolvane/res> -DDEST=<folder>/res [-DKEEP=<name;...>] -P RuntimeFiles.cmake
# Every file is refreshed where it differs from the shipped one, except those named in KEEP: the
# program rewrites them (the settings file, config.xml, holds the language and camera settings the
# user saved), so they are copied only where none exists yet and never replaced. A kept file is
# written under a temporary name and renamed without replacing, so that a program that saved its
# own file meanwhile keeps it and no half-written file is ever read.
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE OR NOT DEST)
    message(FATAL_ERROR "RuntimeFiles.cmake: SOURCE and DEST are required")
endif()
file(MAKE_DIRECTORY "${DEST}")
file(GLOB shipped LIST_DIRECTORIES false RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(name IN LISTS shipped)
    set(target "${DEST}/${name}")
    if(NOT name IN_LIST KEEP)
        file(COPY_FILE "${SOURCE}/${name}" "${target}" ONLY_IF_DIFFERENT)
    elseif(NOT EXISTS "${target}")
        set(part "${target}.part")
        file(COPY_FILE "${SOURCE}/${name}" "${part}")
        # Fails when the program saved its own file meanwhile. CMake's rename without replacing
        # links the new name and may leave the old one: the temporary name goes either way.
        file(RENAME "${part}" "${target}" NO_REPLACE RESULT renamed)
        file(REMOVE "${part}")
    endif()
endforeach()
