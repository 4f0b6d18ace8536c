/* A presence mark carries the server attachment of the workstation that
   set it, so that a mark whose attachment is gone (the workstation died)
   is known for what it is. A program that sets or clears the mark without
   naming its attachment (an earlier build) leaves none: such a mark is of
   unknown standing, never taken for a dead one. */
ALTER TABLE USERS ADD ATTACHMENT INTEGER;

SET TERM ^ ;

CREATE TRIGGER USERS_BU_ATTACHMENT FOR USERS ACTIVE BEFORE UPDATE POSITION 10 AS
BEGIN
    IF ((NEW.INSYSTEM IS DISTINCT FROM OLD.INSYSTEM OR NEW.MONO IS DISTINCT FROM OLD.MONO)
        AND NEW.ATTACHMENT IS NOT DISTINCT FROM OLD.ATTACHMENT) THEN
        NEW.ATTACHMENT = NULL;
END^

SET TERM ; ^
