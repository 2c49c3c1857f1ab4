# Page artwork at every screen density, the application icon and the logo,
# drawn in one run of the generator.

add_executable(payload_artwork
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork_catalog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drawing_kit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/korean_font.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_painter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/product_marks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/windows_image_files.cpp)
target_link_libraries(payload_artwork PRIVATE Qt6::Gui)
payload_build_tool(payload_artwork)

# The names the generator writes: banners at 96, 120, 144 and 192 DPI,
# page images without the 120 variant.
set(payload_artwork_files ${PAYLOAD_OUT}/인스톨.ico ${PAYLOAD_OUT}/OrvGtcLogo.bmp)
foreach(base vtxSet vtxSetUP vtxUnUP)
  foreach(density "" _DPI_120 _DPI_144 _DPI_192)
    list(APPEND payload_artwork_files ${PAYLOAD_OUT}/${base}${density}_kor.png)
  endforeach()
endforeach()
foreach(base Set1-1 Set2-1 Set4-1 Set4-2 Set5-1 Un1-1 Un2-1 Un2-2 Un3-1 Un4-1)
  foreach(density "" _DPI_144 _DPI_192)
    list(APPEND payload_artwork_files ${PAYLOAD_OUT}/${base}${density}_kor.png)
  endforeach()
endforeach()

add_custom_command(
  OUTPUT ${payload_artwork_files}
  COMMAND ${PAYLOAD_RUN} $<TARGET_FILE:payload_artwork> ${PAYLOAD_OUT}
  DEPENDS payload_artwork
  COMMENT "Payload: page artwork, icon and logo"
  VERBATIM)
list(APPEND PAYLOAD_FILES ${payload_artwork_files})
