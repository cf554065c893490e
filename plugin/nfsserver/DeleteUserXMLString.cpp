#include "DeleteUserXMLString.h"

void DeleteUserXMLString(std::string& xml) {
  xml =
      "<App_DeleteUserRequest><users><userEntity><userName/></userEntity><transferInfo><newUser>"
      "<userId/></newUser></transferInfo></users></App_DeleteUserRequest>";
}
