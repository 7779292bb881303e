# A vendor signature needs an RFC 3161 time stamp: without one it is valid only
# while the signing certificate is, so once that expires the catalogs stop
# verifying and every installation of the package fails. A PFX without
# SIGNING_TIMESTAMP_URL is refused unless SIGNING_NO_TIMESTAMP says, on
# purpose, that the signature need not outlive its certificate (test builds).
# Microsoft's "SignedCode.Timestamp" page: "A time stamp extends the validity
# of a certificate by verifying that the ... file was signed at the time that
# it was time stamped"; without one, validity ends with the certificate's.
# Included by the top-level CMakeLists.txt; also runs on its own, for the
# build and release scripts' early check:
#   cmake -DSIGNING_PFX=... -DSIGNING_TIMESTAMP_URL=... -DSIGNING_NO_TIMESTAMP=... -P cmake/signing_timestamp.cmake
if(NOT CMAKE_SCRIPT_MODE_FILE)
  set(SIGNING_NO_TIMESTAMP OFF CACHE BOOL
    "Sign with SIGNING_PFX without a time stamp, on purpose: the signatures stop verifying when the certificate expires")
endif()
if(SIGNING_PFX AND NOT SIGNING_TIMESTAMP_URL AND NOT SIGNING_NO_TIMESTAMP)
  message(FATAL_ERROR "SIGNING_PFX is given without SIGNING_TIMESTAMP_URL. A signature without an RFC 3161 "
    "time stamp stops verifying when the signing certificate expires, and every installation of the driver "
    "package fails after that. Give SIGNING_TIMESTAMP_URL (your certificate authority's time-stamp server), "
    "or, for a test signature that need not outlive its certificate, SIGNING_NO_TIMESTAMP=1 "
    "(release.sh --no-timestamp, cmake -DSIGNING_NO_TIMESTAMP=ON).")
endif()
