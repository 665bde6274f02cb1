# The project's libraries: one logic and one window library per subsystem,
# each declared with the libraries it may use.
#
#   torvika_logic_library(<name> DIR <dir> [DEPENDS <name>...])
#   torvika_ui_library(<name> DIR <dir> [DEPENDS <name>...])
#
# A logic library sees Qt Core, Gui, Sql and Network, never the widgets; a
# window library also sees Widgets, PrintSupport and Multimedia. The build
# checks every quoted include of a library's sources against the folders of
# the library and its dependencies, so an include against the direction of
# the graph does not build.

add_library(torvika_qt_logic INTERFACE)
target_link_libraries(torvika_qt_logic INTERFACE Qt6::Core Qt6::Gui Qt6::Sql Qt6::Network)
add_library(torvika_qt_ui INTERFACE)
target_link_libraries(torvika_qt_ui INTERFACE torvika_qt_logic Qt6::Widgets Qt6::PrintSupport
  Qt6::Multimedia Qt6::MultimediaWidgets)

# Precompiled Qt headers, built once per kind and reused by every library.
set(TORVIKA_PCH_LOGIC <QString> <QStringList> <QList> <QHash> <QVariant> <QDateTime> <QDir> <QFile>
  <QFileInfo> <QObject> <QSqlDatabase> <QSqlQuery> <QSqlError> <QSqlRecord> <functional> <memory>
  <optional>)
set(TORVIKA_PCH_UI ${TORVIKA_PCH_LOGIC} <QWidget> <QDialog> <QLabel> <QLineEdit> <QPushButton>
  <QComboBox> <QTableView> <QHeaderView> <QAction> <QMenu> <QLayout> <QEvent> <QKeyEvent>)
file(WRITE ${CMAKE_BINARY_DIR}/pch/pch.cpp "// Holds the precompiled headers.\n")
add_library(torvika_pch_logic OBJECT ${CMAKE_BINARY_DIR}/pch/pch.cpp)
target_link_libraries(torvika_pch_logic PUBLIC torvika_qt_logic)
target_precompile_headers(torvika_pch_logic PRIVATE ${TORVIKA_PCH_LOGIC})
add_library(torvika_pch_ui OBJECT ${CMAKE_BINARY_DIR}/pch/pch.cpp)
target_link_libraries(torvika_pch_ui PUBLIC torvika_qt_ui)
target_precompile_headers(torvika_pch_ui PRIVATE ${TORVIKA_PCH_UI})

# The source folders (relative to src/) a library may include from: its own
# and those of every library it depends on, directly or not.
function(torvika_allowed_dirs out)
  set(result "")
  foreach(lib ${ARGN})
    get_property(dir GLOBAL PROPERTY TORVIKA_DIR_${lib})
    get_property(deps GLOBAL PROPERTY TORVIKA_DEPS_${lib})
    if(NOT dir)
      message(FATAL_ERROR "Unknown library ${lib}: declare it before the libraries that use it")
    endif()
    list(APPEND result ${dir})
    if(deps)
      torvika_allowed_dirs(sub ${deps})
      list(APPEND result ${sub})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES result)
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# torvika_check_includes(<target> <source dir> <library>...): fails the build
# of the target when one of its sources includes a project header outside
# the folders of the listed libraries.
function(torvika_check_includes target dir)
  torvika_allowed_dirs(allowed ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h)
  set(stamp ${CMAKE_BINARY_DIR}/include-checks/${target}.stamp)
  string(REPLACE ";" "," allowed_text "${allowed}")
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DDIR=${CMAKE_SOURCE_DIR}/${dir} -DALLOWED=${allowed_text} -DSTAMP=${stamp}
            -P ${CMAKE_SOURCE_DIR}/cmake/check_includes.cmake
    DEPENDS ${sources} ${CMAKE_SOURCE_DIR}/cmake/check_includes.cmake
    COMMENT "Checking the includes of ${target}" VERBATIM)
  add_custom_target(${target}_includes DEPENDS ${stamp})
  add_dependencies(${target} ${target}_includes)
endfunction()

function(torvika_library kind name)
  cmake_parse_arguments(A "" "DIR" "DEPENDS" ${ARGN})
  string(REGEX REPLACE "^src/" "" rel ${A_DIR})
  set_property(GLOBAL PROPERTY TORVIKA_DIR_${name} ${rel})
  set_property(GLOBAL PROPERTY TORVIKA_DEPS_${name} ${A_DEPENDS})
  file(GLOB sources CONFIGURE_DEPENDS ${A_DIR}/*.cpp ${A_DIR}/*.h ${A_DIR}/*.ui)
  # A program's entry is not part of a library.
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|ui)$")
  if(NOT compiled)
    # A subsystem whose logic or windows are still to come (headers such as
    # its texts may be there already).
    add_library(torvika_${name} INTERFACE)
    target_link_libraries(torvika_${name} INTERFACE torvika_qt_${kind})
    foreach(dep ${A_DEPENDS})
      target_link_libraries(torvika_${name} INTERFACE torvika_${dep})
    endforeach()
    return()
  endif()
  add_library(torvika_${name} STATIC ${sources})
  target_link_libraries(torvika_${name} PUBLIC torvika_qt_${kind})
  foreach(dep ${A_DEPENDS})
    target_link_libraries(torvika_${name} PUBLIC torvika_${dep})
  endforeach()
  target_precompile_headers(torvika_${name} REUSE_FROM torvika_pch_${kind})
  torvika_check_includes(torvika_${name} ${A_DIR} ${name})
endfunction()

macro(torvika_logic_library name)
  torvika_library(logic ${name} ${ARGN})
endmacro()
macro(torvika_ui_library name)
  torvika_library(ui ${name} ${ARGN})
endmacro()
