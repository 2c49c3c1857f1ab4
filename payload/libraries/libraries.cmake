# Libraries the setup program installs.

# OpenSSL's libcrypto, shipped under the name the setup program binds it by.
get_filename_component(PAYLOAD_LIBCRYPTO ${OPENSSL_CRYPTO_LIBRARY} REALPATH)
add_custom_command(
  OUTPUT ${PAYLOAD_OUT}/nxc1xu32.dll
  COMMAND ${CMAKE_COMMAND} -E copy ${PAYLOAD_LIBCRYPTO} ${PAYLOAD_OUT}/nxc1xu32.dll
  DEPENDS ${PAYLOAD_LIBCRYPTO}
  COMMENT "Payload: nxc1xu32.dll (${PAYLOAD_LIBCRYPTO})"
  VERBATIM)
list(APPEND PAYLOAD_FILES ${PAYLOAD_OUT}/nxc1xu32.dll)

# The EAP plug-in, when its folder is part of the tree.
if(TARGET orv_eappeap)
  get_target_property(payload_plugin_dir orv_eappeap LIBRARY_OUTPUT_DIRECTORY)
  if(payload_plugin_dir STREQUAL PAYLOAD_OUT)
    list(APPEND PAYLOAD_TARGETS orv_eappeap)  # already builds into the folder
  else()
    add_custom_command(
      OUTPUT ${PAYLOAD_OUT}/ORV_EapPeap.dll
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:orv_eappeap> ${PAYLOAD_OUT}/ORV_EapPeap.dll
      DEPENDS orv_eappeap
      COMMENT "Payload: ORV_EapPeap.dll"
      VERBATIM)
    list(APPEND PAYLOAD_FILES ${PAYLOAD_OUT}/ORV_EapPeap.dll)
  endif()
endif()

# Small libraries of our own under the runtime and helper names the setup
# program copies; each exports <name>_Version().
foreach(lib ssleay32 mfc110 msvcp110 msvcr110 VelText)
  add_library(payload_${lib} SHARED ${CMAKE_CURRENT_LIST_DIR}/shipped_library.cpp)
  target_compile_definitions(payload_${lib} PRIVATE SHIPPED_LIBRARY_ID=${lib})
  set_target_properties(payload_${lib} PROPERTIES
    OUTPUT_NAME ${lib} PREFIX "" SUFFIX ".dll"
    LIBRARY_OUTPUT_DIRECTORY ${PAYLOAD_OUT}
    CXX_VISIBILITY_PRESET hidden)
  winsim_warnings(payload_${lib})
  list(APPEND PAYLOAD_TARGETS payload_${lib})
endforeach()
