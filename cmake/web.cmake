# The browser build (the web preset): the page's program, brickrun-headless for node, and the page
# put together in build/web: index.html, levels.js, page.js, brickrun.js and brickrun.wasm, the
# data as one gzipped tar, and the icon.

# Recordings of a session in the page and the runner's own reads both need a file system; the page
# gets its files from data.tar.gz, the runner in node reads and writes the real one.
add_executable(brickrun-web shell/web_main.cpp shell/web_page_levels.cpp)
target_link_libraries(brickrun-web PRIVATE brickrun_game brickrun_platform_web)
brickrun_build_windowed(brickrun-web 1)
set_target_properties(brickrun-web PROPERTIES OUTPUT_NAME brickrun SUFFIX .js)
target_link_options(brickrun-web PRIVATE
  -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1 -sFORCE_FILESYSTEM=1
  "-sEXPORTED_RUNTIME_METHODS=[FS,ccall]")

target_compile_definitions(brickrun-headless PRIVATE BRICKRUN_WITHOUT_ZLIB)
set_target_properties(brickrun-headless PROPERTIES SUFFIX .js)
target_link_options(brickrun-headless PRIVATE
  -sENVIRONMENT=node -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)

set(PAGE_FILES)
foreach(name index.html levels.js page.js)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/platform/web/${name} ${CMAKE_BINARY_DIR}/${name}
    DEPENDS ${CMAKE_SOURCE_DIR}/platform/web/${name} VERBATIM)
  list(APPEND PAGE_FILES ${CMAKE_BINARY_DIR}/${name})
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/icon.png
  COMMAND ${ASSETS_COMPILER} icon ${CMAKE_SOURCE_DIR}/assets/icon.txt 32 ${CMAKE_BINARY_DIR}/icon.png
  DEPENDS ${CMAKE_SOURCE_DIR}/assets/icon.txt VERBATIM)
# The data files by name, not the folders: whatever else lies in them stays out of the page.
set(DATA_NAMES)
foreach(file IN LISTS DATA_FILES)
  file(RELATIVE_PATH name ${DATA_DIR} ${file})
  list(APPEND DATA_NAMES ${name})
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/data.tar.gz
  COMMAND ${CMAKE_COMMAND} -E tar czf ${CMAKE_BINARY_DIR}/data.tar.gz --format=gnutar ${DATA_NAMES}
  WORKING_DIRECTORY ${DATA_DIR}
  DEPENDS ${DATA_FILES} VERBATIM)
add_custom_target(page ALL DEPENDS ${PAGE_FILES} ${CMAKE_BINARY_DIR}/icon.png
  ${CMAKE_BINARY_DIR}/data.tar.gz brickrun-web)

add_subdirectory(tests/web)
