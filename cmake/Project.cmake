# Adds, depth first, every folder below ROOT that holds a CMakeLists.txt.
function(bg_add_subdirectories root)
  file(GLOB_RECURSE lists RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${root}/*/CMakeLists.txt)
  list(SORT lists)
  foreach(file IN LISTS lists)
    get_filename_component(dir ${file} DIRECTORY)
    add_subdirectory(${dir})
  endforeach()
endfunction()

# bg_library(NAME SOURCES ... DEPS ...): one static library per source folder,
# whose headers are included as "Folder/Header.h" from src/.
function(bg_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# bg_test(NAME SOURCES ... DEPS ...): one GoogleTest executable registered with CTest.
# Every test runs headless in its own temporary platform root, with the build's
# stand-in tools and a loopback analytics endpoint (set up by tests/Support's main).
function(bg_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} bg_test_support GTest::gtest GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120)
endfunction()

# bg_folder_target(KIND NAME DEPS ...): a target of KIND (bg_library or bg_test) made
# of every .cpp file in the current folder; nothing is made while the folder has none.
function(bg_folder_target kind name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    cmake_language(CALL ${kind} ${name} SOURCES ${sources} DEPS ${ARG_DEPS})
  endif()
endfunction()

# bg_folder_library(NAME DEPS ...): the folder's library.
function(bg_folder_library name)
  bg_folder_target(bg_library ${name} ${ARGN})
endfunction()

# bg_folder_test(NAME DEPS ...): the folder's test executable.
function(bg_folder_test name)
  bg_folder_target(bg_test ${name} ${ARGN})
endfunction()

# bg_tool(NAME SOURCES ... DEPS ...): a stand-in command-line tool, built into
# <build>/bin/ (where the process runner finds it through $BG_TOOLS_DIR) and
# copied into the application bundle's Contents/MacOS by the bundle layout.
function(bg_tool name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
  set_property(GLOBAL APPEND PROPERTY BG_STANDIN_TOOLS ${name})
endfunction()
