# Makes one self-signed CA certificate with the openssl program.
#   cmake -DOPENSSL=<program> -DCONFIG=<ca.cnf> -DSUBJECT=<dn> -DKEY=<key file>
#         -DOUT=<certificate file> -P make_ca_certificate.cmake
# openssl's chatter is shown only when it fails; a failed run leaves no
# certificate behind.
execute_process(
  COMMAND ${OPENSSL} req -x509 -new -config ${CONFIG}
          -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -sha256 -days 7300
          -subj ${SUBJECT} -keyout ${KEY} -out ${OUT}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "openssl req failed (${result}) for ${SUBJECT}:\n${output}")
endif()
