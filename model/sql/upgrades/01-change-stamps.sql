/* Every insert and change of an event takes a fresh stamp, and every
   deleted event leaves its key with one, so that a workstation reads only
   what changed since its last look instead of its whole period.
   EVENTS_GONE_PURGED holds the highest stamp of the records of deleted
   events that maintenance has cleared away: a workstation that last looked
   before it reads its period whole. */
CREATE GENERATOR EVENTS_STAMP;
CREATE GENERATOR EVENTS_GONE_PURGED;

ALTER TABLE EVENTS ADD STAMP INTEGER;
CREATE INDEX IX_EVENTS_STAMP ON EVENTS (STAMP);

CREATE TABLE EVENTS_GONE (
    STAMP  INTEGER NOT NULL,
    ID     INTEGER NOT NULL,
    GONEAT DATE,
    CONSTRAINT PK_EVENTS_GONE PRIMARY KEY (STAMP)
);

SET TERM ^ ;

CREATE TRIGGER EVENTS_BIU_STAMP FOR EVENTS ACTIVE BEFORE INSERT OR UPDATE POSITION 10 AS
BEGIN
    NEW.STAMP = GEN_ID(EVENTS_STAMP, 1);
END^

CREATE TRIGGER EVENTS_AD_GONE FOR EVENTS ACTIVE AFTER DELETE POSITION 10 AS
BEGIN
    INSERT INTO EVENTS_GONE (STAMP, ID, GONEAT) VALUES (GEN_ID(EVENTS_STAMP, 1), OLD.ID, 'NOW');
END^

/* Event rows carry their work place's name: a new name is a change of
   every event of the place. */
CREATE TRIGGER WORKPLACE_AU_STAMP FOR WORKPLACE ACTIVE AFTER UPDATE POSITION 10 AS
BEGIN
    IF (NEW.NAME IS DISTINCT FROM OLD.NAME) THEN
        UPDATE EVENTS SET STAMP = NULL WHERE WORKPLACE = NEW.ID;
END^

SET TERM ; ^
