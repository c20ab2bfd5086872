# Writes the AppStream data (cmake -P): assets/desktop/brickrun.metainfo.xml with the project's
# version and licence, and, where they exist, its web page and the pictures of docs/ as screenshots
# (AppStream takes screenshots only from the web, so without a place they are published there are
# none).
#
#   cmake -DSOURCE=DIR -DOUT=FILE -DVERSION=V -DLICENSE=SPDX [-DHOMEPAGE=URL] [-DSCREENSHOTS=URL]
#         -P metainfo.cmake
# SCREENSHOTS is where the pictures of docs/ can be fetched from: URL/screenshot.png and so on.
foreach(needed SOURCE OUT VERSION LICENSE)
  if(NOT DEFINED ${needed})
    message(FATAL_ERROR "metainfo.cmake needs -D${needed}=...")
  endif()
endforeach()

set(LINKS "")
if(HOMEPAGE)
  string(APPEND LINKS "  <url type=\"homepage\">${HOMEPAGE}</url>\n")
endif()
if(SCREENSHOTS)
  string(APPEND LINKS "  <screenshots>\n")
  set(type default)
  foreach(shot
      "screenshot|The title menu"
      "jump|The hero in mid-jump in the first level"
      "level1|The meadow, the first level"
      "level2|The chimney, the second level"
      "level3|The high road, the third level")
    string(REPLACE "|" ";" shot "${shot}")
    list(GET shot 0 name)
    list(GET shot 1 caption)
    if(NOT EXISTS ${SOURCE}/docs/${name}.png)
      message(FATAL_ERROR "no docs/${name}.png to show as a screenshot")
    endif()
    string(APPEND LINKS "    <screenshot type=\"${type}\">\n"
      "      <caption>${caption}</caption>\n"
      "      <image>${SCREENSHOTS}/${name}.png</image>\n"
      "    </screenshot>\n")
    set(type extra)
  endforeach()
  string(APPEND LINKS "  </screenshots>\n")
endif()
set(PROJECT_VERSION ${VERSION})
set(BRICKRUN_SPDX_LICENSE ${LICENSE})
configure_file(${SOURCE}/assets/desktop/brickrun.metainfo.xml ${OUT} @ONLY)
