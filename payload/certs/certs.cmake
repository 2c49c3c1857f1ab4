# The CA certificates installed into the Cert folder, under the file names
# the setup program copies (OpenSSL's hashed-name form). Each is a fresh
# self-signed CA certificate, made by the openssl program from the request
# settings in ca.cnf. The private keys stay in the build folder; nothing
# ships them.

set(payload_ca_names 2b7d870a.0 3d7219e9.0 69ceea23.0 76ad1a1b.0 936a7112.0 660878eb.0 f1f2f575.0)

set(number 0)
foreach(name IN LISTS payload_ca_names)
  math(EXPR number "${number} + 1")
  add_custom_command(
    OUTPUT ${PAYLOAD_OUT}/${name}
    BYPRODUCTS ${PAYLOAD_WORK}/certs/${name}.key
    COMMAND ${CMAKE_COMMAND} -DOPENSSL=${PAYLOAD_OPENSSL_PROGRAM} -DCONFIG=${CMAKE_CURRENT_LIST_DIR}/ca.cnf
            "-DSUBJECT=/C=KR/O=Bramble Cast Inc./CN=Bramble Cast Root CA ${number}"
            -DKEY=${PAYLOAD_WORK}/certs/${name}.key -DOUT=${PAYLOAD_OUT}/${name}
            -P ${CMAKE_CURRENT_LIST_DIR}/make_ca_certificate.cmake
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/ca.cnf ${CMAKE_CURRENT_LIST_DIR}/make_ca_certificate.cmake
    COMMENT "Payload: CA certificate ${name}"
    VERBATIM)
  list(APPEND PAYLOAD_FILES ${PAYLOAD_OUT}/${name})
endforeach()
