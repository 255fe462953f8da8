# The Windows build: the program, its Win32 layer and the tests that run under Wine.

# One self-contained exe: the C and C++ runtimes linked in, so it imports Windows' own DLLs only.
# wWinMain is the entry point of every program here. No link time in the PE header, so that two
# builds of one tree give the same bytes.
if(MSVC)
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  add_compile_options(/Brepro)
  add_link_options(/Brepro)
  set(wide_entry "")
  set(stripped "")
else()
  add_link_options(-static -static-libgcc -static-libstdc++ LINKER:--no-insert-timestamp)
  set(wide_entry -municode)
  set(stripped -s)
endif()
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)

# The version has one source, project(VERSION): the header that the version resource and the
# About window read, the manifest, and version.txt for scripts/package are generated from it.
if(PROJECT_VERSION_MINOR GREATER 99)
  message(FATAL_ERROR "The version record shows the minor number in two digits.")
endif()
string(REGEX REPLACE "^([0-9])$" "0\\1" minor_two_digits "${PROJECT_VERSION_MINOR}")
set(BRINDLEWORK_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${minor_two_digits}")
set(generated ${CMAKE_BINARY_DIR}/generated)
configure_file(res/version.h.in ${generated}/version.h @ONLY)
configure_file(res/Brindlework.manifest.in ${generated}/Brindlework.manifest @ONLY)
file(CONFIGURE OUTPUT ${generated}/version.txt CONTENT "${PROJECT_VERSION}\n")

file(GLOB win32_sources CONFIGURE_DEPENDS src/platform/win32/*.cpp)
add_library(brindlework_win32 STATIC ${win32_sources})
target_include_directories(brindlework_win32 PRIVATE ${generated})
target_link_libraries(brindlework_win32 PUBLIC brindlework_core
  shell32 ole32 oleaut32 uuid comdlg32 comctl32 advapi32 user32 gdi32 shlwapi winhttp)

file(GLOB app_sources CONFIGURE_DEPENDS src/app/*.cpp)
add_executable(Brindlework WIN32 ${app_sources} res/Brindlework.rc)
# windres reads these files; the resource compiler's dependency scan does not see them.
set_source_files_properties(res/Brindlework.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/res/Brindlework.ico;${generated}/Brindlework.manifest;${generated}/version.h")
target_link_libraries(Brindlework PRIVATE brindlework_win32)
target_include_directories(Brindlework PRIVATE res ${generated})
target_link_options(Brindlework PRIVATE ${wide_entry} ${stripped})

# comdlg32 only when a picker opens: imported at start, it brings comctl32 and the print spooler
# with their set-up into every launch (a quarter of launch mode's time under Wine). shell32 only
# when an item is opened or a shortcut written: the editor does neither at start, and shell32
# brings shlwapi and shcore with it; shlwapi itself only when a dropped link asks for its
# scheme's icon; winhttp and comctl32 (the progress window) only when a site's icon is fetched.
# GNU ld has no delay-load switch; dlltool writes an import library whose functions bind on first
# call.
set(delay_loaded comdlg32 shell32 shlwapi winhttp comctl32)
if(MSVC)
  foreach(dll ${delay_loaded})
    target_link_options(Brindlework PRIVATE /DELAYLOAD:${dll}.dll)
  endforeach()
  target_link_libraries(Brindlework PRIVATE delayimp)
elseif(CMAKE_DLLTOOL)
  foreach(dll ${delay_loaded})
    set(def ${CMAKE_SOURCE_DIR}/cmake/${dll}-delay.def)
    set(lib ${CMAKE_BINARY_DIR}/lib${dll}_delay.a)
    add_custom_command(OUTPUT ${lib}
      COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll}.dll --output-delaylib ${lib}
      DEPENDS ${def} VERBATIM)
    add_custom_target(${dll}_delay DEPENDS ${lib})
    add_dependencies(Brindlework ${dll}_delay)
    # After the Win32 layer, before the ordinary import library: the linker takes these first.
    target_link_libraries(Brindlework PRIVATE ${lib})
  endforeach()
endif()

# Small before fast: the program spends its time in Windows, and the exe's size is a goal
# (scripts/bench). Optimising for size saves about a tenth of the exe; dropping unreferenced
# sections keeps out the thousands of GUIDs that come with the three the shortcut writer uses.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  foreach(target brindlework_core brindlework_win32 Brindlework)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Os>)
  endforeach()
  target_link_options(Brindlework PRIVATE LINKER:--gc-sections)
endif()

include(cmake/windows-tests.cmake)
