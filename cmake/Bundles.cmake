# The two bundles of the build:
#   <build>/Bastion Guardpoint.app/Contents/{Info.plist, track.plist, MacOS/, Resources/}
#   .../Contents/Resources/ActiveGuardSentinelWarden.app/Contents/{Info.plist, MacOS/, Resources/}
# A program joins its bundle with bg_bundle_program(); the shared contents (text table,
# images, shipped database, stand-in tools) are copied by the target bg_bundles once
# every folder of the project has been read.
include_guard(GLOBAL)

set(BG_APP_BUNDLE_DIR "${PROJECT_BINARY_DIR}/Bastion Guardpoint.app" CACHE INTERNAL "")
set(BG_AGENT_BUNDLE_DIR "${BG_APP_BUNDLE_DIR}/Contents/Resources/ActiveGuardSentinelWarden.app" CACHE INTERNAL "")

# Values of the Info.plist templates; the demo and the tests override the two addresses
# in the bundle they run.
set(BG_SHORT_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}" CACHE INTERNAL "")
set(BG_BUNDLE_VERSION "1" CACHE INTERNAL "") # the build number, counted on its own
set(BG_UPDATE_FEED_URL "https://updates.example.com/bastionguardpoint/appcast.xml" CACHE STRING
    "The application's update feed")
set(BG_DEFINITIONS_SERVER "definitions.example.com" CACHE STRING "Host of the definitions server")

# bg_bundle_program(TARGET BUNDLE_DIR INFO_PLIST_TEMPLATE): builds TARGET into
# BUNDLE_DIR/Contents/MacOS under the executable name of its Info.plist.
function(bg_bundle_program target bundle_dir template)
  configure_file(${template} "${bundle_dir}/Contents/Info.plist" @ONLY)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${bundle_dir}/Contents/MacOS")
  set_property(GLOBAL APPEND PROPERTY BG_BUNDLE_PROGRAMS ${target})
endfunction()

function(bg_finish_bundles)
  set(resources ${PROJECT_SOURCE_DIR}/resources)
  set(images ${PROJECT_BINARY_DIR}/resources/images)
  set(database ${PROJECT_BINARY_DIR}/resources/BGX.db)
  set(app_resources "${BG_APP_BUNDLE_DIR}/Contents/Resources")
  set(agent_resources "${BG_AGENT_BUNDLE_DIR}/Contents/Resources")

  add_executable(bg_draw_images ${resources}/images/DrawImages.cpp)
  target_link_libraries(bg_draw_images PRIVATE Qt6::Gui)
  set(image_files AppIcon.png AttentionShield.png singletick.png exclamationM.png systemdefault.png
    "macos el-capitan.png" macos-Sierra.png "macos high-sierra.png" macosmojave.png "macOs Catalina.png"
    vb128.png tps128.png tds128.png tf128.png pm128.png)
  list(TRANSFORM image_files PREPEND ${images}/ OUTPUT_VARIABLE image_paths)
  add_custom_command(OUTPUT ${image_paths}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${images}
    COMMAND bg_draw_images ${images}
    DEPENDS bg_draw_images
    COMMENT "Drawing the bundle images")

  # The shipped database is copied when the build has made one.
  set(copy_if_present ${PROJECT_BINARY_DIR}/CopyIfPresent.cmake)
  file(WRITE ${copy_if_present}
    "if(EXISTS \"\${SOURCE}\")\n  file(COPY_FILE \"\${SOURCE}\" \"\${DESTINATION}\" ONLY_IF_DIFFERENT)\nendif()\n")

  get_property(tools GLOBAL PROPERTY BG_STANDIN_TOOLS)
  set(copy_tools "")
  foreach(tool IN LISTS tools)
    list(APPEND copy_tools
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${tool}> "${BG_APP_BUNDLE_DIR}/Contents/MacOS/"
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${tool}> "${BG_AGENT_BUNDLE_DIR}/Contents/MacOS/")
  endforeach()

  add_custom_target(bg_bundles ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory "${app_resources}" "${agent_resources}"
            "${BG_APP_BUNDLE_DIR}/Contents/MacOS" "${BG_AGENT_BUNDLE_DIR}/Contents/MacOS"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${resources}/track.plist "${BG_APP_BUNDLE_DIR}/Contents/"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${resources}/English.plist ${image_paths} "${app_resources}/"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${resources}/English.plist ${image_paths} "${agent_resources}/"
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${database} "-DDESTINATION=${app_resources}/BGX.db" -P ${copy_if_present}
    ${copy_tools}
    DEPENDS ${image_paths} ${resources}/track.plist ${resources}/English.plist
    COMMENT "Laying out the application bundles"
    VERBATIM)
  get_property(programs GLOBAL PROPERTY BG_BUNDLE_PROGRAMS)
  foreach(dependency IN LISTS programs tools)
    add_dependencies(bg_bundles ${dependency})
  endforeach()
  if(TARGET sample_database)
    add_dependencies(bg_bundles sample_database)
  endif()
endfunction()

cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL bg_finish_bundles)
